#include "commandline.h"

#include <cerrno>
#include <system_error>

#include "datafile.h"
#include "jsonexport.h"
#include "version.h"

namespace corvane {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    auto fail = [&](std::string why) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(why);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "/m") {
            result.quitWithoutAsking = true;
        } else if (arg == "--export") {
            if (i + 1 >= args.size()) {
                return fail("--export needs a format: json");
            }
            if (args[++i] != "json") {
                return fail("unknown export format '" + args[i] + "'; the format is json");
            }
            result.action = CommandLine::Action::Export;
        } else if (arg == "--export=json") {
            result.action = CommandLine::Action::Export;
        } else if (arg == "--version" || arg == "-v") {
            result.action = CommandLine::Action::Version;
        } else if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }
    return result;
}

std::string usageText() {
    return "Usage: corvane [options]\n"
           "\n"
           "Corvane keeps its entries in Corvane.Data in the current directory.\n"
           "\n"
           "Options:\n"
           "  --export json   write every entry to standard output as JSON Lines\n"
           "                  (one object per entry; reads the data file, never changes it)\n"
           "  --version       print the version and exit\n"
           "  --help          print this text and exit\n"
           "  /m              quit without asking for confirmation\n";
}

namespace {

// What an action wrote must have reached standard output: a full disk or a
// closed pipe is a failure of the system (status 1), never a success.
int checkedOutput(int status, std::ostream& out, std::ostream& err) {
    errno = 0;
    if (status == 1 || (out.flush() && !out.fail())) {
        return status;  // a failure already reported, or all went well
    }
    const int reason = errno != 0 ? errno : EIO;
    err << "corvane: cannot write to standard output: " << std::generic_category().message(reason)
        << '\n';
    return 1;
}

}  // namespace

int runConsoleAction(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    switch (commandLine.action) {
        case CommandLine::Action::Export:
            return checkedOutput(
                exportJsonLines(realFileSystem(), std::string(kDataFileName), out, err), out, err);
        case CommandLine::Action::Version:
            out << "Corvane " << kVersionText << '\n';
            return checkedOutput(0, out, err);
        case CommandLine::Action::Help:
            out << usageText();
            return checkedOutput(0, out, err);
        case CommandLine::Action::Error:
            err << "corvane: " << commandLine.error << "\n\n" << usageText();
            return 1;
        case CommandLine::Action::Run:
            break;
    }
    return 0;
}

}  // namespace corvane
