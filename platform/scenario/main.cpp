// vellum-scenario [--trace] FILE|-: runs the program from a scenario script and prints
// its transcript. Exit 0: the script ran to its end; 2: a script error; 3: the program
// asked something the script does not answer.
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/App.h"
#include "platform/common/SettingsFile.h"
#include "platform/scenario/ScenarioScript.h"

namespace {

vellum::ScenarioPlatform* gPlatform = nullptr;
vellum::CVellumApp* gApp = nullptr;
vellum::ScenarioScript* gScript = nullptr;

int Usage() {
    std::fprintf(stderr, "usage: vellum-scenario [--trace] FILE|-\n");
    return 2;
}

}  // namespace

void RemoveState() {
    if (gScript) gScript->RemoveTemporaryState();
}

int main(int argc, char** argv) {
    std::atexit(RemoveState);
    // A file-size limit makes a write fail with its own message, never kills the run.
    std::signal(SIGXFSZ, SIG_IGN);
    bool trace = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") == 0)
            trace = true;
        else if (!file)
            file = argv[i];
        else
            return Usage();
    }
    if (!file) return Usage();

    const bool streaming = std::strcmp(file, "-") == 0;
    std::string text;
    if (!streaming && !vellum::ReadTextFile(file, text)) {
        std::fprintf(stderr, "vellum-scenario: cannot read %s\n", file);
        return 2;
    }

    // Held by globals: an unanswered question ends the process from deep inside the
    // program, and nothing may be torn down under it then.
    gPlatform = new vellum::ScenarioPlatform;
    gPlatform->programDir = vellum::DriverDirectory();
    gPlatform->trace = trace;
    gApp = new vellum::CVellumApp(*gPlatform);
    gScript = new vellum::ScenarioScript(*gPlatform, *gApp, *gApp);
    int code = 0;
    if (streaming) {
        // Each command runs as its line arrives, so that a test can stop the program in
        // mid-session.
        std::string line;
        int number = 0;
        for (int c; (c = std::getc(stdin)) != EOF;) {
            if (c != '\n') {
                line += char(c);
                continue;
            }
            gScript->RunOne(++number, line);
            line.clear();
        }
        if (!line.empty()) gScript->RunOne(++number, line);
        code = gScript->Finish();
    } else {
        code = gScript->Run(vellum::SplitLines(text));
    }
    delete gScript;
    delete gApp;
    delete gPlatform;
    gScript = nullptr;
    return code;
}
