#pragma once

namespace quorvane {

// The data folder holds the saved login (a reversible scrambling of the password), the server
// addresses that steer updates, the update hand-over and the debug log: nobody but the user may
// read it. Run once at start: makes the folder 0700 and its three files 0600 when they were
// created wider (by an older client, or under a lax umask), and writes to the debug log what it
// had to leave as it is (a folder or file that belongs to another user).
void secureDataFolder();

} // namespace quorvane
