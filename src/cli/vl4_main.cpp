// vl4: the technician's command line beside the window tool.
#include "cli/command_line.h"
#include "core/text_encoding.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) words.push_back(Utf8FromWide(argv[i]));
    StandardStream out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
    StandardInput in;
    Interruption stop;
    stop.CatchConsoleControl();
    CommandContext context = {out, err, in, stop};
    context.DefaultLanguage = SystemLanguage();
    const int status = RunVl4(context, words);
    stop.Finished();
    return status;
}
