// pavilo-doc: the document core on the command line.

#include <cstdio>
#include <cstring>
#include <iostream>

#include "Command.h"

namespace pavilo::doc {

namespace {
std::vector<TDocCommand>& registry()
{
    static std::vector<TDocCommand> commands;
    return commands;
}

int usage(const TDocCommand* only)
{
    for (const TDocCommand& c : registry())
        if (!only || &c == only)
            std::cerr << "usage: pavilo-doc " << c.Name << " " << c.Usage << "\n";
    return 2;
}
} // namespace

bool RegisterCommand(const TDocCommand& command)
{
    registry().push_back(command);
    return true;
}

const std::vector<TDocCommand>& Commands()
{
    return registry();
}

} // namespace pavilo::doc

int main(int argc, char** argv)
{
    using namespace pavilo::doc;
    if (argc < 2)
        return usage(nullptr);
    for (const TDocCommand& c : Commands()) {
        if (std::strcmp(c.Name, argv[1]) != 0)
            continue;
        try {
            return c.Run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const TUsageError&) {
            return usage(&c);
        } catch (const pavilo::Exception& e) {
            std::cerr << e.Message() << "\n";
            return 1;
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            return 1;
        }
    }
    return usage(nullptr);
}
