// The Turn setting: the SIP settings' form with its transport, and TURN's own URIs.
#include "sipaccount/TurnServer.h"

#include <gtest/gtest.h>

namespace velto::skype::sip {
namespace {

// "HOST PORT TRANSPORT", or the error.
std::string Read(const std::string& text) {
    std::string error;
    const auto server = ParseTurnServer(text, error);
    return server ? server->host + " " + std::to_string(server->port) + " " + server->transport
                  : error;
}

TEST(TurnServerTest, TheTransportChoosesTheDefaultPort) {
    EXPECT_EQ(Read("turn.example.org"), "turn.example.org 3478 udp");
    EXPECT_EQ(Read("turn.example.org;transport=tcp"), "turn.example.org 3478 tcp");
    EXPECT_EQ(Read("turn.example.org;transport=TLS"), "turn.example.org 5349 tls");
    EXPECT_EQ(Read("turn.example.org:443;transport=tls"), "turn.example.org 443 tls");
    EXPECT_EQ(Read("10.9.1.1:3479;transport=udp"), "10.9.1.1 3479 udp");
    EXPECT_EQ(Read("[2001:db8::1]:443;transport=tcp"), "[2001:db8::1] 443 tcp");
}

TEST(TurnServerTest, TurnUrisAreTakenAsProvidersWriteThem) {
    EXPECT_EQ(Read("turn:turn.example.org"), "turn.example.org 3478 udp");
    EXPECT_EQ(Read("turn:turn.example.org:443?transport=tcp"), "turn.example.org 443 tcp");
    EXPECT_EQ(Read("TURNS:turn.example.org"), "turn.example.org 5349 tls");
    // TLS runs over TCP: a turns: URI naming TCP is TLS all the same.
    EXPECT_EQ(Read("turns:turn.example.org:443?transport=tcp"), "turn.example.org 443 tls");
    // A host named turn with its port is no URI.
    EXPECT_EQ(Read("turn:3478"), "turn 3478 udp");
}

TEST(TurnServerTest, WhatIsNoTurnServerIsRefusedByItsBadPart) {
    EXPECT_EQ(Read("turn.example.org;transport=sctp"),
              "the transport \"sctp\" is not one of udp, tcp, tls");
    EXPECT_EQ(Read("turns:turn.example.org?transport=udp"),
              "a turns: server goes over TLS, not over udp");
    EXPECT_EQ(Read("alice@turn.example.org"), "expected HOST[:PORT][;transport=udp|tcp|tls]");
    EXPECT_EQ(Read("turn.example.org;lr"), "expected HOST[:PORT][;transport=udp|tcp|tls]");
    EXPECT_EQ(Read("turn.example.org:70000"), "the port \"70000\" is not a number from 1 to 65535");
    EXPECT_EQ(Read("turn.example.org;ttl=5"),
              "the parameter \"ttl=5\" is not known (known: transport, lr)");
    EXPECT_NE(Read("turns:"), "turns 5349 tls");
    EXPECT_NE(Read(""), " 3478 udp");
}

}  // namespace
}  // namespace velto::skype::sip
