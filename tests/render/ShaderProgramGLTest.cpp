#include "render/ShaderProgram.h"
#include "support/GLContext.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const char* validVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
void main() {
    gl_Position = vec4(position, 1.0);
}
)";

const char* validFragment = R"(#version 330 core
out vec4 colour;
void main() {
    colour = vec4(1.0);
}
)";

// Compiles, but a fragment shader without main cannot be linked.
const char* fragmentWithoutMain = R"(#version 330 core
out vec4 colour;
void paint() {
    colour = vec4(1.0);
}
)";

const char* brokenVertex = R"(#version 330 core
void main() {
    gl_Position = notDeclaredAnywhere;
}
)";

// Compiles with a warning only.
const char* warningFragment = R"(#version 330 core
#extension GL_DUSK_no_such_extension : warn
out vec4 colour;
void main() {
    colour = vec4(1.0);
}
)";

// How the child saw its GL objects when the process ended; written by an exit handler.
char reportDirectory[4096];

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void reportAtExit() {
    std::string dir = reportDirectory;
    std::string summary;
    for (GLuint name = 1; name < 256; ++name) {
        GLint length = 0;
        if (glIsShader(name)) {
            GLint type = 0;
            GLint compiled = 0;
            glGetShaderiv(name, GL_SHADER_TYPE, &type);
            glGetShaderiv(name, GL_COMPILE_STATUS, &compiled);
            summary += std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") +
                       (compiled ? " compiled\n" : " failed\n");
            if (!compiled) {
                glGetShaderiv(name, GL_INFO_LOG_LENGTH, &length);
                std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
                glGetShaderInfoLog(name, length, nullptr, &log[0]);
                writeText(dir + "/shader-log.txt", log.c_str());
            }
        } else if (glIsProgram(name)) {
            GLint linked = 0;
            glGetProgramiv(name, GL_LINK_STATUS, &linked);
            summary += linked ? "program linked\n" : "program not linked\n";
            glGetProgramiv(name, GL_INFO_LOG_LENGTH, &length);
            std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
            glGetProgramInfoLog(name, length, nullptr, &log[0]);
            writeText(dir + "/program-log.txt", log.c_str());
        }
    }
    writeText(dir + "/objects.txt", summary);
}

// What stands on the child's standard input.
enum class Input {
    silentPipe,       // not a terminal, and nobody ever writes: a read would block for good
    terminal,         // a terminal where nobody types
    terminalEnterHit  // a terminal where Enter was already pressed
};

// Prepares the child: its standard output goes to out.txt, the input is set up, an exit handler
// records the GL objects, and an alarm ends a child that waits.
void prepareChild(const fs::path& dir, Input input, unsigned alarmSeconds) {
    std::snprintf(reportDirectory, sizeof(reportDirectory), "%s", dir.c_str());
    std::fflush(stdout);  // what the test runner printed so far is not the child's output
    int out = open((dir / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    if (input == Input::silentPipe) {
        int ends[2];
        if (pipe(ends) == 0) {
            dup2(ends[0], STDIN_FILENO);  // the write end stays open and silent
        }
    } else {
        int master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
        dup2(terminal, STDIN_FILENO);
        if (input == Input::terminalEnterHit) {
            ssize_t written = write(master, "\n", 1);
            (void)written;
        }
    }
    std::atexit(reportAtExit);
    alarm(alarmSeconds);
}

[[noreturn]] void buildInChild(const fs::path& dir, const std::string& vertex,
                               const std::string& fragment, Input input = Input::silentPipe,
                               unsigned alarmSeconds = 30) {
    prepareChild(dir, input, alarmSeconds);
    ShaderProgram program(vertex, fragment);
    std::printf("built\n");
    std::exit(0);
}

class ShaderProgramGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // The child starts afresh from this test, so no GL driver thread is forked.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        dir = fs::path(DUSK_TEST_OUTPUT_DIR) / "render" /
              testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    std::string write(const std::string& name, const std::string& content) const {
        writeText((dir / name).string(), content);
        return (dir / name).string();
    }

    std::string output() const { return readText((dir / "out.txt").string()); }
    std::string objects() const { return readText((dir / "objects.txt").string()); }
    std::string shaderLog() const { return readText((dir / "shader-log.txt").string()); }
    std::string programLog() const { return readText((dir / "program-log.txt").string()); }

    fs::path dir;
};

TEST_F(ShaderProgramGLTest, ValidFilesLinkSilently) {
    std::string vertex = write("valid.vert", validVertex);
    std::string fragment = write("valid.frag", validFragment);
    CaptureStdout();
    ShaderProgram program(vertex, fragment);
    EXPECT_EQ(GetCapturedStdout(), "");

    ASSERT_NE(program.program, 0u);
    GLint linked = 0;
    glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    GLint type = 0;
    glGetShaderiv(program.vertexShader, GL_SHADER_TYPE, &type);
    EXPECT_EQ(type, GL_VERTEX_SHADER);
    glGetShaderiv(program.fragmentShader, GL_SHADER_TYPE, &type);
    EXPECT_EQ(type, GL_FRAGMENT_SHADER);
    GLuint attached[4] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program.program, 4, &count, attached);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(attached[0] + attached[1], program.vertexShader + program.fragmentShader);
    EXPECT_NE(attached[0], attached[1]);
}

TEST_F(ShaderProgramGLTest, ShaderWithOnlyWarningsPrintsNothing) {
    std::string vertex = write("valid.vert", validVertex);
    // A source the driver has not seen before: a cached compile keeps no warnings in its log.
    std::string fragment =
        write("warning.frag", std::string(warningFragment) + "// run " + std::to_string(getpid()) +
                                  " " + std::to_string(std::time(nullptr)) + "\n");
    CaptureStdout();
    ShaderProgram program(vertex, fragment);
    EXPECT_EQ(GetCapturedStdout(), "");
    GLint length = 0;
    glGetShaderiv(program.fragmentShader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(program.fragmentShader, length, nullptr, &log[0]);
    EXPECT_NE(log.find("warning"), std::string::npos) << "the driver did warn: " << log;
}

TEST_F(ShaderProgramGLTest, MissingFragmentFileIsReportedAfterTheVertexShaderCompiled) {
    std::string vertex = write("valid.vert", validVertex);
    EXPECT_EXIT(buildInChild(dir, vertex, (dir / "missing.frag").string()),
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(output(), "ERROR: Could not load file\n");
    EXPECT_EQ(objects(), "program not linked\nvertex compiled\n")
        << "no fragment shader object was made";
}

TEST_F(ShaderProgramGLTest, BrokenVertexShaderIsReportedBeforeTheFragmentFileIsOpened) {
    std::string vertex = write("broken.vert", brokenVertex);
    EXPECT_EXIT(buildInChild(dir, vertex, (dir / "missing.frag").string()),
                testing::ExitedWithCode(1), "");
    std::string log = shaderLog();
    EXPECT_NE(log, "");
    EXPECT_EQ(output(), log + " check\n");
    EXPECT_EQ(objects(), "program not linked\nvertex failed\n");
}

TEST_F(ShaderProgramGLTest, EmptyShaderFileIsCompiledAndItsLogPrintedWithCheck) {
    std::string vertex = write("valid.vert", validVertex);
    std::string fragment = write("empty.frag", "");
    EXPECT_EXIT(buildInChild(dir, vertex, fragment), testing::ExitedWithCode(1), "");
    std::string log = shaderLog();
    EXPECT_NE(log, "") << "the compiler explains the failure";
    EXPECT_EQ(output(), log + " check\n");
    EXPECT_EQ(objects(), "program not linked\nvertex compiled\nfragment failed\n");
}

TEST_F(ShaderProgramGLTest, LinkFailurePrintsTheProgramLogAlone) {
    std::string vertex = write("valid.vert", validVertex);
    std::string fragment = write("nomain.frag", fragmentWithoutMain);
    EXPECT_EXIT(buildInChild(dir, vertex, fragment), testing::ExitedWithCode(1), "");
    std::string log = programLog();
    EXPECT_NE(log, "");
    EXPECT_EQ(output(), log + "\n");
    EXPECT_EQ(objects(), "program not linked\nvertex compiled\nfragment compiled\n");
}

TEST_F(ShaderProgramGLTest, DirectoryGivenAsShaderFileCannotBeLoaded) {
    fs::create_directories(dir / "folder.vert");
    EXPECT_EXIT(buildInChild(dir, (dir / "folder.vert").string(), write("v.frag", validFragment)),
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(output(), "ERROR: Could not load file\n");
    EXPECT_EQ(objects(), "program not linked\n");
}

TEST_F(ShaderProgramGLTest, ShaderObjectThatCannotBeCreatedIsReported) {
    std::string vertex = write("valid.vert", validVertex);
    EXPECT_EXIT(
        {
            prepareChild(dir, Input::silentPipe, 30);
            GLuint shader = 0;
            ShaderProgram::compileShader(vertex, GL_TEXTURE_2D, &shader);  // not a shader type
            std::exit(0);
        },
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(output(), "ERROR: Could not create shader\n");
}

// The pause waits for Enter only at a terminal; the failure to make a program does not pause.
TEST_F(ShaderProgramGLTest, AtATerminalTheFailureWaitsForEnter) {
    std::string vertex = write("valid.vert", validVertex);
    std::string missing = (dir / "missing.frag").string();
    EXPECT_EXIT(buildInChild(dir, vertex, missing, Input::terminal, 3),
                testing::KilledBySignal(SIGALRM), "");
    EXPECT_EQ(output(), "ERROR: Could not load file\n") << "the message comes before the wait";
}

TEST_F(ShaderProgramGLTest, AtATerminalEnterEndsTheWait) {
    std::string vertex = write("valid.vert", validVertex);
    std::string missing = (dir / "missing.frag").string();
    EXPECT_EXIT(buildInChild(dir, vertex, missing, Input::terminalEnterHit),
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(output(), "ERROR: Could not load file\n");
}

TEST_F(ShaderProgramGLTest, NoProgramObjectEndsAtOnceEvenAtATerminal) {
    std::string vertex = write("valid.vert", validVertex);
    std::string fragment = write("valid.frag", validFragment);
    EXPECT_EXIT(
        {
            prepareChild(dir, Input::terminal, 10);
            glfwMakeContextCurrent(nullptr);  // without a context GL makes no objects
            ShaderProgram program(vertex, fragment);
            std::exit(0);
        },
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(output(), "ERROR: Could not create Program..\n");
}

}  // namespace
