#pragma once
// A scenario script, run line by line against the real program on the scripted
// platform. The program is single-threaded: after each command (and each timer) the
// posted close is handled before the next line is read.
//
// Beyond the commands of the scenario format:
//   pictures DIR    (before start) the user's pictures folder, default "/My Documents/",
//                   so the default picture path reads "/My Documents/untitled.bmp"
// A line whose first word starts with '#' is a comment; so is the rest of a line from a
// word starting with '#' after arguments that are words or numbers. TEXT and PATH
// arguments run to the end of the line, '#' included.
#include <memory>
#include <string>
#include <vector>

#include "app/ViewInput.h"
#include "app/ViewInspection.h"
#include "platform/scenario/ScenarioPlatform.h"

namespace vellum {

class ScenarioScript {
public:
    // The program is reached through input and looked at through inspection; it runs on
    // platform, which the script sets up before `start`.
    ScenarioScript(ScenarioPlatform& platform, ViewInput& input, const ViewInspection& inspection);
    ~ScenarioScript();

    ScenarioPlatform& Machine() { return platform; }
    // Runs every line; script errors and unanswered questions end the process with
    // exit codes 2 and 3 on the way. Returns 0 when the script ran to its end.
    int Run(const std::vector<std::string>& lines);
    // Runs one line (numbered) as it comes; the end of the script afterwards.
    void RunOne(int number, std::string text);
    int Finish();
    // Removes the temporary recovery folder this run made, if any.
    void RemoveTemporaryState();

private:
    void RunLine(const ScriptLine& line);
    bool RunMachineCommand(const ScriptLine& line, const std::string& word,
                           const std::vector<std::string>& args, const std::string& rest);
    bool RunAnswerCommand(const ScriptLine& line, const std::string& word,
                          const std::vector<std::string>& args, const std::string& rest);
    bool RunUserCommand(const ScriptLine& line, const std::string& word,
                        const std::vector<std::string>& args);
    bool RunLookCommand(const ScriptLine& line, const std::string& word,
                        const std::vector<std::string>& args, const std::string& rest);
    void Start();
    // The posted close, if any: the window is destroyed and the program ends.
    void HandlePosted();
    void DestroyWindow();
    // The program while it runs: after start, before it ended.
    ViewInput& Input(const ScriptLine& line);
    const PixelSurface& Surface(const ScriptLine& line, const std::string& name);
    void NeedStart(const ScriptLine& line);

    ScenarioPlatform& platform;
    ViewInput& input;
    const ViewInspection& inspection;
    bool started = false;
    bool ended = false;
    std::string temporaryStateDir;
};

// The driver's own directory (from /proc/self/exe), ending in '/'.
std::string DriverDirectory();
// A script's text as its lines, without their line feeds.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace vellum
