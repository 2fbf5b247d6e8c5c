// Arguments are bytes on Linux, file names among them: they are passed on as they are.
#include "platform/system/program_arguments.h"

namespace vexlorn {

bool programArguments(int argc, const char* const* argv, std::vector<std::string>& arguments,
                      std::string& /*error*/) {
    arguments.assign(argv, argv + argc);
    return true;
}

}  // namespace vexlorn
