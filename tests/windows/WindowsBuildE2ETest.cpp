#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <regex>
#include <set>
#include <sys/stat.h>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

const char* const windowFailure = "ERROR: Could not open window.";
const std::string windowsDemo = dusk::test::built::wineRun() + " dusklorne.exe";

// The zip unpacked into a fresh folder, as a player would: the folder it holds, or "".
std::string unpackedZip(const std::string& name) {
    const std::string folder = freshFolder(name);
    if (!fs::exists(dusk::test::built::windowsZip())) {
        ADD_FAILURE() << "no Windows build: scripts/build-windows.sh makes " +
                             dusk::test::built::windowsZip();
        return "";
    }
    outputOf("cd '" + folder + "' && cmake -E tar xf '" + dusk::test::built::windowsZip() + "'");
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        return entry.path().string();
    }
    return "";
}

// How a Windows program under wine names a folder of this machine.
std::string windowsPathOf(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// What a terminal shows of a program's output: wine's console draws each character between
// escape sequences (a title up to BEL; ESC [, parameters, one final byte from @ to ~) and moves
// the cursor over blanks, so blanks are left out on both sides.
std::string shownText(const std::string& output) {
    return std::regex_replace(
        output, std::regex("\033\\][^\a]*\a|\033\\[[ -?]*[@-~]|\033[^\\[\\]]|\\s"), "");
}

std::vector<std::string> filesUnder(const std::string& folder) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The unpacked zip holds the program, config.txt, the start text, every shader of the source and
// every model and image the Linux build generates; the program needs no DLL beyond those every
// Windows has and OpenGL's (no MinGW runtime), and the zip stays within 40 MB.
TEST(WindowsBuildE2ETest, TheZipHoldsTheDemoAndItsDataAndNeedsOnlySystemDlls) {
    const std::string folder = unpackedZip("windows-zip");
    ASSERT_FALSE(folder.empty());
    for (const char* file : {"dusklorne.exe", "config.txt", "README.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(folder + "/" + file)) << file;
    }
    EXPECT_EQ(filesUnder(folder + "/Dusklorne/Shader"),
              filesUnder(dusk::test::built::sourceDir() + "/Dusklorne/Shader"));
    EXPECT_EQ(filesUnder(folder + "/Model"), filesUnder(dusk::test::built::runDir() + "/Model"));
    EXPECT_LE(fs::file_size(dusk::test::built::windowsZip()), 40u << 20);

    // Names as the import table spells them vary in case (OPENGL32.dll): compared in lower case.
    const std::set<std::string> everyWindows = {
        "advapi32.dll", "bcrypt.dll",   "comctl32.dll", "comdlg32.dll", "crypt32.dll",
        "gdi32.dll",    "imm32.dll",    "kernel32.dll", "msvcrt.dll",   "ole32.dll",
        "oleaut32.dll", "opengl32.dll", "shell32.dll",  "user32.dll",   "version.dll",
        "winmm.dll",    "ws2_32.dll"};
    std::string imports = outputOf("x86_64-w64-mingw32-objdump -p '" + folder +
                                   "/dusklorne.exe' | sed -n 's/^\\s*DLL Name: //p'");
    std::transform(imports.begin(), imports.end(), imports.begin(), ::tolower);
    EXPECT_NE(imports.find("opengl32.dll"), std::string::npos) << imports;
    for (const std::string& dll : linesOf(imports)) {
        EXPECT_TRUE(everyWindows.count(dll) == 1 || dll.rfind("api-ms-win-crt-", 0) == 0)
            << dll << " is not part of every Windows";
    }
}

// Start-up lines, F1's help, F3's switch and ESC's end: what a player sees on the console.
std::string playAndQuit(DemoProcess& demo, const std::string& window) {
    EXPECT_TRUE(x11::pressUntilPrinted(window, demo, "F1", "F12 - Specular mapping (On/Off)"));
    EXPECT_TRUE(x11::pressUntilPrinted(window, demo, "F3", "enable wireframe mode"));
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
    // The explosion's line comes when the intro gets there, whenever that is.
    std::string lines;
    for (const std::string& line : linesOf(demo.output())) {
        lines += line == "Expl" ? "" : line + "\n";
    }
    return lines;
}

// The exe from the unpacked zip under wine: its window shows the intro moving, and its console
// lines, start-up and keys, are the Linux build's, in order.
TEST(WindowsBuildE2ETest, PlaysTheIntroAndAnswersKeysWithTheLinuxBuildsLines) {
    std::string linuxLines;
    {
        RunDirectory dir("windows-linux-lines");
        DemoProcess demo(dir);
        const std::string window = x11::waitForWindow(60.0);
        ASSERT_FALSE(window.empty()) << demo.output();
        linuxLines = playAndQuit(demo, window);
    }
    ASSERT_NE(linuxLines.find("Loading Model: Tree 3\n"), std::string::npos) << linuxLines;

    const std::string folder = unpackedZip("windows-play");
    ASSERT_FALSE(folder.empty());
    writeFile(folder + "/config.txt", "640 480\n");
    DemoProcess demo(folder, windowsDemo, folder + "/stdout.txt");
    const std::string window = x11::waitForWindow(120.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    Picture first, later;
    EXPECT_TRUE(waitUntil(
        [&] {
            first = x11::windowPicture(window, folder + "/first.png");
            return showsAScene(first);
        },
        60.0, "a scene in the window"))
        << "see " << folder << "/first.png";
    EXPECT_EQ(first.width, 640);
    EXPECT_TRUE(waitUntil(
        [&] {
            later = x11::windowPicture(window, folder + "/later.png");
            return changedShare(first, later, 30) > 0.05;
        },
        60.0, "the intro to move"))
        << "the intro does not move: see " << folder;
    EXPECT_EQ(playAndQuit(demo, window), linuxLines);
}

// Without config.txt, or with a shader missing, the exe names the missing file and the folder it
// looked in, then gives the Linux build's error line and code 1, at once: standard input is no
// console here, so it does not wait.
TEST(WindowsBuildE2ETest, AMissingStartupFileIsNamedThenTheLinuxErrorLineAndCode1) {
    for (auto [file, error] : {std::pair{"config.txt", windowFailure},
                               {"Dusklorne/Shader/depth.frag", "ERROR: Could not load file"}}) {
        SCOPED_TRACE(file);
        const std::string folder = unpackedZip("windows-missing");
        ASSERT_FALSE(folder.empty());
        fs::remove(folder + "/" + file);
        DemoProcess demo(folder, windowsDemo, folder + "/stdout.txt");
        EXPECT_EQ(demo.waitForExit(120.0), 1);
        EXPECT_EQ(linesOf(demo.output()),
                  (std::vector<std::string>{"Could not find " + std::string(file) + " in " +
                                                windowsPathOf(folder) +
                                                " (the folder Dusklorne was started in)",
                                            error}));
    }
}

// A start-up failure on a terminal, or in the console of an exe started by double-click, waits
// for Enter before the program ends, so that the player can read the line; the Linux build
// and the Windows build alike.
TEST(WindowsBuildE2ETest, AStartupFailureOnAConsoleWaitsForEnter) {
    // A program that did not wait has closed the pipe: the Enter below then fails, not the test.
    std::signal(SIGPIPE, SIG_IGN);
    for (auto [name, program] :
         {std::pair{"linux", dusk::test::built::demoBinary()}, {"windows", windowsDemo}}) {
        SCOPED_TRACE(name);
        const std::string folder = unpackedZip(std::string("windows-console-") + name);
        ASSERT_FALSE(folder.empty());
        fs::remove(folder + "/config.txt");
        const std::string input = folder + "/keyboard";
        ASSERT_EQ(mkfifo(input.c_str(), 0600), 0);
        // script gives the program a terminal and passes on what comes through the pipe.
        DemoProcess demo(folder, "script -qec '" + program + "' /dev/null", folder + "/stdout.txt",
                         input);
        std::ofstream keyboard(input);
        EXPECT_TRUE(waitUntil(
            [&] {
                return shownText(demo.output()).find("ERROR:Couldnotopenwindow.") !=
                       std::string::npos;
            },
            120.0, "the error line on the terminal"))
            << demo.output();
        EXPECT_FALSE(waitUntil([&] { return !demo.running(); }, 3.0, "the end (none is right)"))
            << "it did not wait";
        keyboard << "\r" << std::flush;  // Enter, as a terminal sends it
        EXPECT_EQ(demo.waitForExit(60.0), 1);
    }
}

// The Windows bench tool under wine draws the intro's moments from the unpacked zip as the Linux
// one draws them from the same folder: both go through Mesa's software renderer, so only the
// C runtimes' float functions (sinf, powf) can set the pictures apart, by a rounding step here
// and there.
TEST(WindowsBuildE2ETest, DrawsTheLinuxBuildsPicturesAtFixedMoments) {
    const std::string folder = unpackedZip("windows-pictures");
    ASSERT_FALSE(folder.empty());
    const std::string capture = " capture --size 480x270 --dt 0.25 --at-time 0.05,0.3,0.58,1.05 "
                                "--run-dir '" +
                                folder + "' --out '" + folder + "/";
    outputOf(dusk::test::built::wineRun() + " '" + dusk::test::built::windowsBench() + "'" +
             capture + "windows'");
    outputOf("'" + dusk::test::built::benchBinary() + "'" + capture + "linux'");
    for (const char* moment : {"0.050", "0.300", "0.580", "1.050"}) {
        SCOPED_TRACE(moment);
        const std::string name = std::string("/pathtime-") + moment + ".png";
        const std::string result =
            outputOf("'" + dusk::test::built::benchBinary() + "' compare '" + folder + "/windows" +
                     name + "' '" + folder + "/linux" + name + "' --sheet '" + folder + "/sheet-" +
                     moment + ".png'");
        double share = 100.0;
        std::sscanf(result.c_str(), "compare: %lf", &share);
        EXPECT_LE(share, 0.1) << result << "see " << folder;
    }
}

}  // namespace
