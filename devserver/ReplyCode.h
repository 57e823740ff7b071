#pragma once

namespace quorvane {

// Result codes of the application server's replies. The client tells 0, 1 and 3 apart; the others
// only mean "refused" to it and come with a message.
namespace ReplyCode {
inline constexpr int kSuccess = 0;
inline constexpr int kWrongCredentials = 1;
inline constexpr int kBadToken = 2;
inline constexpr int kAwaitingApproval = 3;
inline constexpr int kNameTaken = 4;
inline constexpr int kBadSignature = 5;
inline constexpr int kBadRequest = 6;
inline constexpr int kRefusedValue = 7;
inline constexpr int kServerError = 8;
} // namespace ReplyCode

} // namespace quorvane
