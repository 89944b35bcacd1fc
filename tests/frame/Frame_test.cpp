#include "frame/Frame.h"

#include <gtest/gtest.h>

#include <string_view>

namespace velto::frame {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A peer that hands over the bytes of `wire` one at a time, then reports the connection
// closed; `pos` tells how far the receiver read.
struct OneByteAtATime {
    std::vector<uint8_t> wire;
    size_t pos = 0;

    ReadSome Reader() {
        return [this](uint8_t* data, size_t) -> long {
            if (pos == wire.size()) {
                return 0;
            }
            *data = wire[pos++];
            return 1;
        };
    }
};

TEST(FrameTest, LengthIsBigEndianAndFramesSurviveOneByteReads) {
    EXPECT_EQ(EncodeLength(0x01020304), (std::array<uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(DecodeLength(std::array<uint8_t, 4>{0xff, 0, 0, 0x01}), 0xff000001u);
    OneByteAtATime peer;
    ASSERT_TRUE(SendFrame(
        [&](const uint8_t* data, size_t size) {
            peer.wire.push_back(*data);  // the peer takes one byte at a time
            return size > 0 ? 1L : 0L;
        },
        Bytes("hello")));
    EXPECT_EQ(peer.wire, (std::vector<uint8_t>{0, 0, 0, 5, 'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(EncodeFrame(Bytes("hello")), peer.wire);

    std::array<uint8_t, 8> buffer{};
    const Received hello = ReceiveFrame(peer.Reader(), buffer);
    EXPECT_EQ(hello.status, FrameStatus::Ok);
    EXPECT_EQ(hello.length, 5u);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(buffer.data()), 5), "hello");
    EXPECT_EQ(ReceiveFrame(peer.Reader(), buffer).status, FrameStatus::Broken);  // peer closed

    peer = {{0, 0, 0, 0}};
    const Received empty = ReceiveFrame(peer.Reader(), buffer);
    EXPECT_EQ(empty.status, FrameStatus::Ok);
    EXPECT_EQ(empty.length, 0u);
    peer = {{0, 0, 0, 9, 1, 2}};
    const Received tooLong = ReceiveFrame(peer.Reader(), buffer);
    EXPECT_EQ(tooLong.status, FrameStatus::TooLong);
    EXPECT_EQ(tooLong.length, 9u);  // the refused length, for the refusal's message
    EXPECT_EQ(peer.pos, 4u);        // nothing of the payload was read
    // A payload that fills the buffer exactly is taken whole.
    peer = {{0, 0, 0, 8, 1, 2, 3, 4, 5, 6, 7, 8}};
    const Received full = ReceiveFrame(peer.Reader(), buffer);
    EXPECT_EQ(full.status, FrameStatus::Ok);
    EXPECT_EQ(full.length, 8u);
    EXPECT_EQ(buffer, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    peer = {{0, 0, 0, 3, 1, 2}};
    EXPECT_EQ(ReceiveFrame(peer.Reader(), buffer).status, FrameStatus::Broken);
    peer = {{0, 0}};
    EXPECT_EQ(ReceiveFrame(peer.Reader(), buffer).status, FrameStatus::Broken);
}

TEST(FrameTest, GrowingReceiveKeepsToItsLimitAndTakesNoMemoryForARefusedLength) {
    std::vector<uint8_t> payload;
    OneByteAtATime peer{{0, 0, 0, 3, 'a', 'b', 'c', 0, 0, 0, 4, 'd', 'e', 'f', 'g'}};
    const Received atLimit = ReceiveFrame(peer.Reader(), 3, payload);
    EXPECT_EQ(atLimit.status, FrameStatus::Ok);
    EXPECT_EQ(payload, Bytes("abc"));
    const Received overLimit = ReceiveFrame(peer.Reader(), 3, payload);
    EXPECT_EQ(overLimit.status, FrameStatus::TooLong);
    EXPECT_EQ(overLimit.length, 4u);
    EXPECT_EQ(peer.pos, 11u);

    // A wrong byte order announces about 4 GB: refused before anything is reserved for it.
    std::vector<uint8_t> untouched;
    peer = {{0xff, 0xff, 0xff, 0xf0}};
    const Received huge = ReceiveFrame(peer.Reader(), 1024, untouched);
    EXPECT_EQ(huge.status, FrameStatus::TooLong);
    EXPECT_EQ(huge.length, 0xfffffff0u);
    EXPECT_EQ(untouched.capacity(), 0u);
}

TEST(FrameTest, APeerThatClaimsMoreThanItMovedBreaksTheFrame) {
    // A read or write that reports more bytes than it was offered would move the frame's
    // position past its buffer.
    const WriteSome boasting = [](const uint8_t*, size_t size) {
        return static_cast<long>(size + 1);
    };
    EXPECT_FALSE(SendFrame(boasting, Bytes("abc")));
    EXPECT_FALSE(SendFrame([](const uint8_t*, size_t) { return -1L; }, Bytes("abc")));
    std::array<uint8_t, 16> buffer{};
    const ReadSome overfilling = [](uint8_t* data, size_t size) {
        std::fill_n(data, size, uint8_t{0});
        return static_cast<long>(size + 1);
    };
    EXPECT_EQ(ReceiveFrame(overfilling, buffer).status, FrameStatus::Broken);
}

}  // namespace
}  // namespace velto::frame
