#pragma once

namespace quorvane {

struct ClientOptions;

// The client program: the application object, the private data folder, the single-instance rule,
// then the client itself until it ends. What main() does; the benchmark's build of the client
// passes options of its own.
int runClientProgram(int argc, char** argv, const ClientOptions& options);

} // namespace quorvane
