// The arguments from GetCommandLineW, split by CommandLineToArgvW and converted to UTF-8.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/files/wide_path.h"
#include "platform/system/program_arguments.h"

namespace vexlorn {

bool argumentsFromCommandLine(const wchar_t* commandLine, std::vector<std::string>& arguments,
                              std::string& error) {
    arguments.clear();
    int count = 0;
    wchar_t** parts = CommandLineToArgvW(commandLine, &count);
    if (parts == nullptr) {
        error = "The command line cannot be read.";
        return false;
    }
    bool valid = true;
    for (int index = 0; index < count && valid; ++index) {
        const std::wstring part = parts[index];
        arguments.push_back(utf8FromWide(part));
        // Strict conversion: only an empty argument may come out empty.
        valid = part.empty() || !arguments.back().empty();
        if (!valid) {
            error = "Argument " + std::to_string(index) +
                    " is not valid Unicode (it holds half of a surrogate pair).";
        }
    }
    LocalFree(parts);
    if (!valid) arguments.clear();
    return valid;
}

bool programArguments(int /*argc*/, const char* const* /*argv*/,
                      std::vector<std::string>& arguments, std::string& error) {
    return argumentsFromCommandLine(GetCommandLineW(), arguments, error);
}

}  // namespace vexlorn
