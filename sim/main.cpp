#include "options.h"
#include "simulator.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    sim::ParsedOptions parsed = sim::parseOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "rx904-sim: %s\nTry 'rx904-sim --help'.\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(sim::usageText().c_str(), stdout);
        return 0;
    }
    sim::Simulator simulator(std::move(*parsed.options));
    return simulator.run();
}
