#include "FrameRun.h"

#include "AllocationCounter.h"
#include "BenchOptions.h"
#include "BenchRecorder.h"
#include "CapturePlan.h"
#include "FixedStepLoop.h"
#include "FloorPrograms.h"
#include "FrameChart.h"
#include "SceneSnapshot.h"
#include "ScriptedInput.h"
#include "ToolWindow.h"
#include "VideoEncoder.h"

#include "game/Game.h"
#include "render/GL.h"
#include "render/LoadTimers.h"
#include "scene/Random.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace dusk::bench {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Plain functions rather than member pointers: GCC's bounds sanitizer misreads an array of
// member pointers.
void (*const renderSteps[renderStepCount])(Game*) = {
    [](Game* game) { game->beginFrame(); },
    [](Game* game) { game->renderShadowPass(); },
    [](Game* game) { game->renderCameraDepthPass(); },
    [](Game* game) { game->renderScenePass(); },
    [](Game* game) { game->renderParticlePass(); },
    [](Game* game) { game->renderFinalPass(); },
    [](Game* game) { game->applyEndOfFrameSettings(); },
};

// Runs each render step between two glFinish calls: `times` gets each step's wall time,
// `submit` (if given) the time the steps took to return.
void timeRenderSteps(Game* game, double* times, double* submit) {
    for (int step = 0; step < renderStepCount; ++step) {
        Clock::time_point start = Clock::now();
        renderSteps[step](game);
        Clock::time_point returned = Clock::now();
        glFinish();
        times[step] = secondsSince(start);
        if (submit != nullptr) {
            *submit += std::chrono::duration<double>(returned - start).count();
        }
    }
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int runCommand(const Options& options, Clock::time_point programStart) {
    if (!options.runDir.empty() && chdir(options.runDir.c_str()) != 0) {
        std::cerr << "dusk_bench: no run directory '" << options.runDir << "'" << std::endl;
        return 1;
    }
    // A folder that cannot be made fails the run before any frame is drawn.
    std::error_code ignored;
    if (!options.outDir.empty() && !std::filesystem::create_directories(options.outDir, ignored) &&
        !std::filesystem::is_directory(options.outDir)) {
        std::cerr << "dusk_bench: could not make the folder '" << options.outDir << "'"
                  << std::endl;
        return 1;
    }
    std::unique_ptr<VideoEncoder> video;
    if (!options.videoFile.empty()) {
        video = std::make_unique<VideoEncoder>(options.videoFile);
        if (!video->ready()) {
            return 1;
        }
    }
    const bool bench = options.command == "bench";
    // The floor run puts the generator back by its draw count, counted from here.
    dusk::resetRandom();
    ScriptedInput input(options.keys);
    Game* game = openGame(options.width, options.height, options.visible, &input);
    if (game == nullptr) {
        return 1;
    }
    FixedStepLoop loop(game, &input, options.frameTime);
    CapturePlan plan(options, game->width, game->height);
    if (video != nullptr &&
        !video->start(game->width, game->height, options.fps,
                      options.frames > 0 ? options.frames
                                         : introFrameCount(*game, options.frameTime))) {
        return 1;
    }
    BenchRecorder recorder(game->width, game->height, options.frameTime, options.floor,
                           allocationCountAvailable());

    // Tool work is left out of the start-up and frame figures.
    double toolSeconds = 0.0;
    std::unique_ptr<FloorPrograms> floor;
    std::unique_ptr<SceneSnapshot> snapshot;
    if (bench && options.floor) {
        Clock::time_point start = Clock::now();
        floor = std::make_unique<FloorPrograms>(*game);
        snapshot = std::make_unique<SceneSnapshot>(*game);
        glFinish();
        toolSeconds += secondsSince(start);
        if (!floor->ready()) {
            return 1;
        }
    }

    // ESC, or the window, ends the run after its frame.
    auto finished = [&]() {
        return glfwWindowShouldClose(game->window) ||
               (options.frames > 0
                    ? loop.frame >= options.frames
                    : plan.complete() && ((!bench && video == nullptr) || !game->introRunning));
    };
    bool written = true;
    while (!finished()) {
        if (!bench) {
            loop.startFrame();
            game->update(static_cast<float>(options.frameTime));
            game->render();
            written = plan.take(loop.frame, game->pathTime, *game) && written;
            if (video != nullptr && !video->add()) {
                break;  // the encoder stopped: finish says so
            }
            loop.present();
            continue;
        }

        glFinish();
        Clock::time_point frameStart = Clock::now();
        std::uint64_t allocationsAtStart = allocationCount();
        double frameToolSeconds = 0.0;
        FrameRecord record;

        loop.startFrame();
        record.frame = loop.frame;
        Clock::time_point updateStart = Clock::now();
        game->update(static_cast<float>(options.frameTime));
        glFinish();
        record.update = secondsSince(updateStart);
        record.submit = record.update;
        record.pathTime = game->pathTime;

        if (floor != nullptr) {
            // The same frame first with the floor programs, then everything it changed is put
            // back, so that the real frame below is the one a plain run draws.
            Clock::time_point floorStart = Clock::now();
            snapshot->save();
            floor->activate();
            game->uploadFrameUniforms();
            glFinish();
            timeRenderSteps(game, record.floorSteps.data(), nullptr);
            floor->deactivate();
            snapshot->restore();
            glFinish();
            frameToolSeconds += secondsSince(floorStart);
        }

        timeRenderSteps(game, record.steps.data(), &record.submit);

        // Pictures, if the frame is wanted.
        Clock::time_point captureStart = Clock::now();
        std::uint64_t allocationsBefore = allocationCount();
        written = plan.take(loop.frame, game->pathTime, *game) && written;
        allocationsAtStart += allocationCount() - allocationsBefore;  // the tool's own
        frameToolSeconds += secondsSince(captureStart);

        loop.present();
        glFinish();
        record.whole = secondsSince(frameStart) - frameToolSeconds;
        record.allocations = allocationCount() - allocationsAtStart;
        toolSeconds += frameToolSeconds;
        if (loop.frame == 1) {
            recorder.startup = {secondsSince(programStart) - toolSeconds,
                                dusk::loadTimers.shaderSeconds, dusk::loadTimers.modelSeconds,
                                dusk::loadTimers.textureSeconds};
        }
        recorder.records.push_back(record);
    }

    if (bench) {
        recorder.peakResidentKiB = peakResidentKiB();
        recorder.glErrors = loop.errorCount;
        recorder.writeSummary(std::cout, rendererName());
        if (!options.csvFile.empty() && recorder.writeCsv(options.csvFile)) {
            std::cout << "csv: " << options.csvFile << std::endl;
        } else if (!options.csvFile.empty()) {
            written = false;
        }
        std::string title = "Dusklorne " + std::to_string(game->width) + " x " +
                            std::to_string(game->height) + ", " + rendererName() +
                            ": frame time per pass";
        if (!options.chartFile.empty() && writeFrameChart(recorder, title, options.chartFile)) {
            std::cout << "chart: " << options.chartFile << std::endl;
        } else if (!options.chartFile.empty()) {
            written = false;
        }
    }
    bool complete = plan.finish();
    if (video != nullptr) {
        written = video->finish(written && complete) && written;
    }
    glfwTerminate();
    return written && complete ? 0 : 1;
}

}  // namespace dusk::bench
