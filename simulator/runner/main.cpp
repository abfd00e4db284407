// tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]
#include <iostream>
#include <string>
#include <vector>

#include "simulator/runner/Runner.h"

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]\n"
                     "Runs the scenario on the simulated adapter offline and prints each event as\n"
                     "\"<ms> <code> <text>\".\n";
        return 0;
    }
    tvxsim::RunOptions options;
    std::string error;
    if (const int rc = tvxsim::ParseRunArguments(args, options, error); rc != tvxsim::kRunOk) {
        std::cerr << "tvxsim: " << error
                  << "\nusage: tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]\n";
        return rc;
    }
    return tvxsim::RunScenario(options, std::cout, std::cerr);
}
