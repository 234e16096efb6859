#include "FrameRun.h"

#include "AllocationCounter.h"
#include "BenchOptions.h"
#include "BenchRecorder.h"
#include "CapturePlan.h"
#include "FixedStepLoop.h"
#include "FloorPrograms.h"
#include "FrameChart.h"
#include "HeadlessContext.h"
#include "SceneSnapshot.h"
#include "ScriptedInput.h"
#include "ToolWindow.h"
#include "VideoEncoder.h"

#include "app/Platform.h"
#include "game/Game.h"
#include "render/GL.h"
#include "render/GpuTimer.h"
#include "render/LoadTimers.h"
#include "scene/Random.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

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
    [](Game* game) {
        game->renderFinalPass();
        game->renderOverlay();  // the F6 overlay and an F8 screenshot count into the final step
        game->saveRequestedScreenshot();
    },
    [](Game* game) { game->applyEndOfFrameSettings(); },
};

// Runs each render step between two glFinish calls: `times` gets each step's wall time,
// `submit` (if given) the time the steps took to return. With a GPU timer each step ends with a
// timestamp instead, and its time comes later from the timer.
void timeRenderSteps(Game* game, double* times, double* submit, dusk::GpuTimer* gpu = nullptr) {
    for (int step = 0; step < renderStepCount; ++step) {
        Clock::time_point start = Clock::now();
        renderSteps[step](game);
        Clock::time_point returned = Clock::now();
        gpu != nullptr ? gpu->stamp() : glFinish();
        times[step] = secondsSince(start);
        if (submit != nullptr) {
            *submit += std::chrono::duration<double>(returned - start).count();
        }
    }
}

// What the scene is built from, checked before anything is made: a run elsewhere would draw a
// grey picture from nothing and leave a recording file behind.
bool isRunDirectory(const Options& options) {
    const bool sized = options.width > 0 && options.height > 0;
    for (std::string each : {"Dusklorne/Shader", "Model/Object", "Model/Image", "config.txt"}) {
        if (std::filesystem::exists(each) || (sized && each == "config.txt")) {
            continue;
        }
        std::cerr << "dusk_bench: no " << each << " in "
                  << (options.runDir.empty() ? "the working directory" : "'" + options.runDir + "'")
                  << ", so no scene to draw (give the run directory with --run-dir)" << std::endl;
        return false;
    }
    return true;
}

}  // namespace

int runCommand(const Options& options, Clock::time_point programStart) {
    std::error_code noFolder;
    if (!options.runDir.empty()) {
        std::filesystem::current_path(options.runDir, noFolder);
    }
    if (noFolder) {
        std::cerr << "dusk_bench: no run directory '" << options.runDir << "'" << std::endl;
        return 1;
    }
    if (options.command == "devices") {
        return listDevices(std::cout);
    }
    if (!isRunDirectory(options)) {
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
    std::unique_ptr<VideoEncoder> video =
        options.videoFile.empty() ? nullptr : std::make_unique<VideoEncoder>(options.videoFile);
    if (video != nullptr && !video->ready()) {
        return 1;
    }
    const bool bench = options.command == "bench";
    // The floor run puts the generator back by its draw count, counted from here.
    dusk::resetRandom();
    ScriptedInput input(options.keys);
    HeadlessContext headless;  // declared first: it outlives every GL object below
    Game* game = nullptr;
    const int failure = openGame(options, &input, &headless, &game);
    if (failure != 0) {
        return failure;
    }
    FixedStepLoop loop(game, &input, options.frameTime);
    CapturePlan plan(options, game->width, game->height);
    if (video != nullptr && !video->start(*game, options)) {
        return 1;
    }
    BenchRecorder recorder(game->width, game->height, options.frameTime, options.floor,
                           allocationCountAvailable());
    recorder.setup =
        "renderer: " + rendererLine() + "; mode: " +
        (options.headless ? "headless, EGL device " + std::to_string(options.device)
                          : std::string("window")) +
        "; timer: " + (options.gpuTimer ? "gpu (GL timestamps)" : "finish (glFinish around steps)");
    // The update and the render steps, their times read back frames later into their records.
    std::unique_ptr<dusk::GpuTimer> gpu(
        bench && options.gpuTimer ? new dusk::GpuTimer(1 + renderStepCount) : nullptr);
    auto takeGpuTimes = [&](bool wait) {
        std::int64_t frame = 0;
        double seconds[1 + renderStepCount];
        while (gpu->takeFinished(&frame, seconds, wait)) {
            FrameRecord& record = recorder.records.at(static_cast<size_t>(frame - 1));
            record.update = seconds[0];
            std::copy(seconds + 1, seconds + 1 + renderStepCount, record.steps.begin());
            record.timed = true;
        }
    };

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
        return game->quitRequested || (game->window && glfwWindowShouldClose(game->window)) ||
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

        // A frame runs from its start until the GL has drawn it, so that its wall time holds
        // all of its work; only inside it the GPU timer never waits.
        glFinish();
        Clock::time_point frameStart = Clock::now();
        std::uint64_t allocationsAtStart = allocationCount();
        double frameToolSeconds = 0.0;
        FrameRecord record;

        loop.startFrame();
        record.frame = loop.frame;
        Clock::time_point updateStart = Clock::now();
        if (gpu != nullptr) {
            gpu->stamp();
        }
        game->update(static_cast<float>(options.frameTime));
        gpu != nullptr ? gpu->stamp() : glFinish();
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

        timeRenderSteps(game, record.steps.data(), &record.submit, gpu.get());

        // Pictures, if the frame is wanted. Reading them makes the GL finish the frame: that
        // much belongs to the frame, not to the tool.
        if (gpu != nullptr && (plan.frameDue(loop.frame) || plan.timeDue(game->pathTime) ||
                               plan.tileDue(game->pathTime))) {
            glFinish();
        }
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
        record.timed = gpu == nullptr;  // until its timestamps come in
        recorder.records.push_back(record);
        if (gpu != nullptr) {
            gpu->endFrame(loop.frame);
            takeGpuTimes(false);
        }
    }

    if (gpu != nullptr) {
        takeGpuTimes(true);
        // Frames whose timestamps the ring gave up before they came in have no figures.
        std::vector<FrameRecord>& records = recorder.records;
        records.erase(std::remove_if(records.begin(), records.end(),
                                     [](const FrameRecord& record) { return !record.timed; }),
                      records.end());
        if (gpu->dropped > 0) {
            std::cout << "gpu timer: " << gpu->dropped << " frames left out, their timestamps "
                      << "came in too late" << std::endl;
        }
    }
    if (bench) {
        recorder.peakResidentKiB = dusk::peakResidentKiB();
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
    written = (video == nullptr || video->finish(written && complete)) && written;
    glfwTerminate();
    return written && complete ? 0 : 1;
}

}  // namespace dusk::bench
