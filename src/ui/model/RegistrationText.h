#pragma once

#include <cstdint>
#include <string>

#include "sipaccount/AccountLink.h"

namespace velto::ui {

// The registration state in words of `language`, as the Account page's status line and the
// main window show it. Times are the local clock's HH:MM:SS; a server's reason stays as the
// server gave it.
std::u16string RegistrationText(const skype::sip::RegistrationState& state, int32_t language);

// What the main window shows for the state: a text and a button to the Account page
// (set up / account settings), or the contact list.
enum class SipWindowState { NotSetUp, Registering, Ready, Failed };
SipWindowState WindowStateOf(const skype::sip::RegistrationState& state);

// `text` with each {1}, {2}, {3} replaced by the argument of that number (the language
// table keeps % for the tone message's own placeholders).
std::u16string FillIn(std::u16string text, const std::u16string& first,
                      const std::u16string& second = {}, const std::u16string& third = {});

}  // namespace velto::ui
