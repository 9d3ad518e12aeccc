// Loading generated 3DS models of 1,000 / 10,000 / 60,000 faces with our
// reader and with lib3ds on the same files, and recording the display list
// of a loaded model in a real GL context (run under Xvfb for that one:
// tests/support/with-xvfb.sh build/bench/bench_model3ds_load). The second
// argument is the number of objects the faces are split into: 60,000 faces
// come both in one object (its counts above 32,767) and in two. Time per
// face should stay flat as the model grows, and near lib3ds's.
#include "base/display_list.h"
#include "model3ds/chunk_reader.h"
#include "model3ds/level.h"
#include "model3ds/mesh_draw.h"
#include "tests/support/gl_context.h"
#include "model3ds/model3ds_writer.h"

#include <benchmark/benchmark.h>
#include <lib3ds/file.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// A w x h grid of quads, two triangles each, with mapping coordinates.
cMesh3ds Grid(const std::string& name, int w, int h, float offset) {
    cMesh3ds mesh;
    mesh.name = name;
    mesh.material = "skin";
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x) {
            mesh.vertices.push_back({{float(x), offset, float(y)}});
            mesh.mapping.push_back({{float(x) / w, float(y) / h}});
        }
    auto at = [w](int x, int y) { return uint16_t(y * (w + 1) + x); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            mesh.faces.push_back({at(x, y), at(x + 1, y), at(x + 1, y + 1), 7});
            mesh.faces.push_back({at(x, y), at(x + 1, y + 1), at(x, y + 1), 7});
        }
    return mesh;
}

struct cModelFile {
    std::string path;
    int faces = 0;
};

// Writes (once) a model of about the given number of faces in the given
// number of objects; its path and actual face count.
const cModelFile& ModelFile(int faces, int objects) {
    // The generated files go when the benchmark ends.
    struct cFiles : std::map<int, cModelFile> {
        ~cFiles() {
            for (const auto& entry : *this) std::remove(entry.second.path.c_str());
        }
    };
    static cFiles files;
    cModelFile& file = files[faces * 16 + objects];
    if (!file.path.empty()) return file;
    cModel3ds model;
    model.materials = {{"skin", {{200, 180, 160}}, "Data/no-such-texture.bmp"}};
    const int cells = faces / objects / 2;
    const int w = int(std::lround(std::sqrt(cells * 1.5)));
    const int h = cells / w;
    for (int i = 0; i < objects; ++i) {
        model.meshes.push_back(Grid("part" + std::to_string(i), w, h, float(i)));
        file.faces += 2 * w * h;
    }
    file.path = "/tmp/vk_bench_model_" + std::to_string(getpid()) + "_" + std::to_string(faces) + "_" +
                std::to_string(objects) + ".3DS";
    if (!Save3ds(file.path, model)) std::cerr << "cannot write " << file.path << std::endl;
    return file;
}

// Sends std::cout to nowhere while it lives: the loader logs every chunk.
class cQuiet {
public:
    cQuiet() : saved(std::cout.rdbuf(nullptr)) {}
    ~cQuiet() {
        std::cout.clear();
        std::cout.rdbuf(saved);
    }

private:
    std::streambuf* saved;
};

void PerFace(benchmark::State& state, int faces) {
    state.SetItemsProcessed(state.iterations() * faces);
    state.counters["faces"] = faces;
    state.counters["ns_per_face"] =
        benchmark::Counter(double(state.iterations()) * faces, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Faces our reader keeps from a file.
int LoadedFaces(const std::string& path) {
    cQuiet quiet;
    cLevel level;
    Load3DSFile(path.c_str(), level);
    int faces = 0;
    for (cKeyedList<cObject>* object = &level.objects; object; object = object->next)
        for (cKeyedList<cFace>* face = &object->element.faces; face; face = face->next) faces += !face->isFree();
    return faces;
}

// Faces and objects: one object up to 60,000 faces, and 60,000 in two.
void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"faces", "objects"});
    for (int faces : {1000, 10000, 60000}) benchmark->Args({faces, 1});
    benchmark->Args({60000, 2});
}

}  // namespace

static void Load3DSFileOurs(benchmark::State& state) {
    const cModelFile& file = ModelFile(int(state.range(0)), int(state.range(1)));
    // A reader that gives up on a list would look fast: count what it keeps.
    const int loaded = LoadedFaces(file.path);
    if (loaded != file.faces) {
        state.SkipWithError(("loaded " + std::to_string(loaded) + " of " + std::to_string(file.faces) + " faces").c_str());
        return;
    }
    for (auto _ : state) {
        cQuiet quiet;
        cLevel level;
        Load3DSFile(file.path.c_str(), level);
        benchmark::DoNotOptimize(level.objects.next);
    }
    PerFace(state, file.faces);
}
BENCHMARK(Load3DSFileOurs)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

static void Load3DSFileLib3ds(benchmark::State& state) {
    const cModelFile& file = ModelFile(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        Lib3dsFile* model = lib3ds_file_load(file.path.c_str());
        if (!model) {
            state.SkipWithError("lib3ds cannot read the file");
            break;
        }
        benchmark::DoNotOptimize(model->meshes);
        lib3ds_file_free(model);
    }
    PerFace(state, file.faces);
}
BENCHMARK(Load3DSFileLib3ds)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

static void RecordDisplayList(benchmark::State& state) {
    static std::unique_ptr<pixeltest::cTestContext> gl;
    if (!gl) gl = std::make_unique<pixeltest::cTestContext>(64, 64);
    if (!gl->ok()) {
        state.SkipWithError(gl->error().c_str());
        return;
    }
    const cModelFile& file = ModelFile(int(state.range(0)), int(state.range(1)));
    cLevel level;
    {
        cQuiet quiet;
        Load3DSFile(file.path.c_str(), level);
    }
    cDisplayList list;
    for (auto _ : state) {
        list.Begin();
        DrawLevel(level, GL_TRIANGLE_FAN);
        list.End();
        glFinish();
    }
    PerFace(state, file.faces);
    cQuiet quiet;  // the level's images say goodbye
}
BENCHMARK(RecordDisplayList)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
