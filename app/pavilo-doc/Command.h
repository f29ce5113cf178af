#pragma once
// The commands of pavilo-doc. Each command lives in its own file and
// registers itself; main() dispatches on the first argument.
//
// A command returns the exit status. Failures: throw pavilo::Exception (exit
// 1, its message alone on standard error). Wrong arguments: throw
// TUsageError (exit 2 with the command's usage line).

#include <string>
#include <vector>

#include "model/Exception.h"

namespace pavilo::doc {

struct TDocCommand {
    const char* Name;
    const char* Usage; // the arguments after the command name
    int (*Run)(const std::vector<std::string>& args);
};

class TUsageError : public Exception {
public:
    TUsageError() : Exception("usage") {}
};

bool RegisterCommand(const TDocCommand& command);
const std::vector<TDocCommand>& Commands();

} // namespace pavilo::doc

// Registers a command from its file: PAVILO_DOC_COMMAND(dump, "FILE", runDump)
#define PAVILO_DOC_COMMAND(name, usage, fn) \
    static const bool registered_##name = ::pavilo::doc::RegisterCommand({#name, usage, fn})
