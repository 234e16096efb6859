#include "Generator.h"

#include "Castle.h"
#include "ImageBuffer.h"
#include "Meadow.h"
#include "Props.h"
#include "Textures.h"
#include "Trees.h"

#include <Magick++.h>

#include <filesystem>

namespace dusk::assetgen {

const std::vector<ImageFile>& imageFiles() {
    static const std::vector<ImageFile> files = {
        {"stone11.jpg", 512, 512},
        {"stone11n.jpg", 512, 512},
        {"stone11s.jpg", 512, 512},
        {"ground19.jpg", MeadowLayout::width, MeadowLayout::height},
        {"ground19n.jpg", MeadowLayout::width / 2, MeadowLayout::height / 2},
        {"ground19s.jpg", MeadowLayout::width / 2, MeadowLayout::height / 2},
        {"tree1.png", 512, 512},
        {"skybox2.jpg", SkyAtlas::width, SkyAtlas::height},
        {"est9.jpg", 64, 64},
        {"nebular.png", 128, 128},
        {"Light_Texture.png", 512, 512},
        {"fire_atlas.png", 1024, 1024},
        {"Default_NM.png", 8, 8},
        {"Default_SM.png", 8, 8},
    };
    return files;
}

const std::vector<std::string>& modelFiles() {
    static const std::vector<std::string> files = {
        "castle.obj", "ground20.obj", "tree1.obj",
        "tree3.obj",  "skybox.obj",   "only_quad_sphere.obj",
    };
    return files;
}

namespace {

bool save(const ImageBuffer& image, const std::string& path, std::string* error) {
    std::string reason;
    if (!image.save(path, &reason)) {
        if (error) {
            *error = "cannot write " + path + ": " + reason;
        }
        return false;
    }
    return true;
}

bool saveMesh(const MeshBuilder& mesh, const std::string& path, const std::string& comment,
              std::string* error) {
    if (!mesh.writeObj(path, comment)) {
        if (error) {
            *error = "cannot write " + path;
        }
        return false;
    }
    return true;
}

}  // namespace

bool generateAssets(const std::string& runDir, std::string* error) {
    static bool magickReady = false;
    if (!magickReady) {
        Magick::InitializeMagick(nullptr);
        magickReady = true;
    }
    namespace fs = std::filesystem;
    const std::string objects = runDir + "/Model/Object";
    const std::string images = runDir + "/Model/Image";
    std::error_code ec;
    fs::create_directories(objects, ec);
    fs::create_directories(images, ec);
    if (!fs::is_directory(objects) || !fs::is_directory(images)) {
        if (error) {
            *error = "cannot create the folders under " + runDir;
        }
        return false;
    }

    bool ok =
        saveMesh(buildCastle(), objects + "/castle.obj", "Dusklorne castle", error) &&
        saveMesh(buildGround(), objects + "/ground20.obj", "Dusklorne ground", error) &&
        saveMesh(buildBroadleafTree(), objects + "/tree1.obj", "Dusklorne broadleaf tree", error) &&
        saveMesh(buildFirTree(), objects + "/tree3.obj", "Dusklorne fir", error) &&
        saveMesh(buildSkyBox(), objects + "/skybox.obj", "Dusklorne sky box", error);
    if (!ok) {
        return false;
    }
    if (!writeQuadSphere(objects + "/only_quad_sphere.obj")) {
        if (error) {
            *error = "cannot write " + objects + "/only_quad_sphere.obj";
        }
        return false;
    }

    SurfaceMaps stone = makeStone();
    SurfaceMaps ground = makeGround();
    return save(stone.color, images + "/stone11.jpg", error) &&
           save(stone.normal, images + "/stone11n.jpg", error) &&
           save(stone.specular, images + "/stone11s.jpg", error) &&
           save(ground.color, images + "/ground19.jpg", error) &&
           save(ground.normal, images + "/ground19n.jpg", error) &&
           save(ground.specular, images + "/ground19s.jpg", error) &&
           save(makeTreeAtlas(), images + "/tree1.png", error) &&
           save(makeSky(), images + "/skybox2.jpg", error) &&
           save(makeBallTexture(64), images + "/est9.jpg", error) &&
           save(makeNebula(128), images + "/nebular.png", error) &&
           save(makeGlow(512), images + "/Light_Texture.png", error) &&
           save(makeFireAtlas(1024), images + "/fire_atlas.png", error) &&
           save(makeFlatNormal(8), images + "/Default_NM.png", error) &&
           save(makeDefaultSpecular(8), images + "/Default_SM.png", error);
}

}  // namespace dusk::assetgen
