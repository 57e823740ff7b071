#pragma once

#include <QString>

namespace quorvane {

// Two minisign key pairs made once per test program, in a folder of their own: the one a test
// trusts and another one. Tests that need the key built into the programs use the demo key
// instead (tests/support/Minisign.h).
QString testSecretKey();
QString testPublicKey(); // the base64 line, as a build setting holds it
QString otherTestSecretKey();

} // namespace quorvane
