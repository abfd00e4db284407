// tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]
// tvxsim send ACTION... | tvxsim state | tvxsim watch [--until-event CODE] [--timeout S]
#include <iostream>
#include <string>
#include <vector>

#include "simulator/runner/ClientCommands.h"
#include "simulator/runner/Runner.h"

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]\n"
                     "       tvxsim send ACTION...\n"
                     "       tvxsim state\n"
                     "       tvxsim watch [--until-event CODE] [--timeout S]\n"
                     "Runs the scenario on the simulated adapter offline and prints each event as\n"
                     "\"<ms> <code> <text>\"; or acts on, shows or watches the simulated device\n"
                     "that is open now.\n";
        return 0;
    }
    if (tvxsim::IsClientCommand(args))
        return tvxsim::RunClientCommand(args, std::cout, std::cerr);
    tvxsim::RunOptions options;
    std::string error;
    if (const int rc = tvxsim::ParseRunArguments(args, options, error); rc != tvxsim::kRunOk) {
        std::cerr << "tvxsim: " << error
                  << "\nusage: tvxsim SCENARIO [--until MS] [--record DIR] [--local-country N]\n";
        return rc;
    }
    return tvxsim::RunScenario(options, std::cout, std::cerr);
}
