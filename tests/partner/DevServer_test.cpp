#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sstream>

#include "DevFrameServer.h"

namespace velto::devserver {
namespace {

std::string Request(char code, std::initializer_list<std::string> texts) {
    std::string r(1, code);
    for (const auto& t : texts) {
        r += t;
        r += '\0';
    }
    return r;
}

TEST(DevFrameServer, AnswersTheToneListOfTheUserAndShortAnswersOtherwise) {
    std::istringstream file(
        "# handle key remote title extra prefix\n"
        "alice\tk1\ta.wav\tTone A\n"
        "alice\tk2\tb.wav\tTone B\tx\thttp://other/\r\n"
        "\n");
    ToneCatalogue catalogue;
    std::string error;
    ASSERT_TRUE(ReadToneCatalogue(file, catalogue, error)) << error;
    DevFrameServer server(catalogue, "http://dev/tones/");

    const std::string list = server.Answer(Request(0x03, {"alice"}));
    const char expected[] =
        "\1k1\0a.wav\0http://dev/tones/\0Tone A\0\0k2\0b.wav\0http://other/\0Tone B\0x";
    EXPECT_EQ(list, std::string(expected, sizeof expected));
    EXPECT_EQ(server.Answer(Request(0x03, {"bob"})), std::string(1, '\0'));
    EXPECT_EQ(server.Answer(Request(0x07, {"k1", "alice", "a.wav"})).size(), 1u);
    EXPECT_EQ(server.Answer(Request(0x05, {"k2", "alice", "b.wav"})).size(), 1u);
    EXPECT_EQ(server.Answer(""), std::string(1, '\0'));
    const auto log = server.log();
    EXPECT_EQ(log[2], "download ok: k1 user alice file a.wav");
    EXPECT_EQ(log[3], "download failed: k2 user alice file b.wav");
}

TEST(DevFrameServer, RefusesMalformedCatalogueLines) {
    for (const char* bad : {"alice\tk1\n", "\tk\tr\tt\n", "a\tb\tc\td\te\tf\tg\n"}) {
        std::istringstream file(bad);
        ToneCatalogue catalogue;
        std::string error;
        EXPECT_FALSE(ReadToneCatalogue(file, catalogue, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos);
    }
}

TEST(DevFrameServer, OneFramePerRequestOverLoopback) {
    ToneCatalogue catalogue{{"alice", {OwnedTone{"k", "k.wav", "", "T", ""}}}};
    DevFrameServer server(catalogue, "http://dev/");
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(server.port()));
    ::inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    for (int round = 0; round < 2; ++round) {
        const std::string payload = Request(0x03, {"alice"});
        std::string frame = {0, 0, 0, static_cast<char>(payload.size())};
        frame += payload;
        ASSERT_EQ(::send(fd, frame.data(), frame.size(), 0), static_cast<ssize_t>(frame.size()));
        unsigned char head[4];
        ASSERT_EQ(::recv(fd, head, 4, MSG_WAITALL), 4);
        const size_t length = head[2] * 256u + head[3];
        std::string answer(length, '\0');
        ASSERT_EQ(::recv(fd, answer.data(), length, MSG_WAITALL), static_cast<ssize_t>(length));
        const char expected[] = "\1k\0k.wav\0http://dev/\0T\0";
        EXPECT_EQ(answer, std::string(expected, sizeof expected));
    }
    ::close(fd);
    server.Stop();
}

}  // namespace
}  // namespace velto::devserver
