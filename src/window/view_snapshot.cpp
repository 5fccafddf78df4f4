#include "window/view_snapshot.h"

#include <sys/stat.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <vector>

#include "accel/trace_accel.h"
#include "image/image_output.h"
#include "main.h"
#include "parser.h"
#include "program_exit.h"
#include "render.h"
#include "trace/render_job.h"
#include "window/view_statement.h"

std::string viewPictureName(const std::string& sceneFileName) {
    const std::string ending = ".pov";
    std::string stem = sceneFileName;
    if (stem.size() > ending.size() && stem.compare(stem.size() - ending.size(), ending.size(),
                                                    ending) == 0) {
        stem.resize(stem.size() - ending.size());
    }
    for (int n = 1;; ++n) {
        std::string name = stem + "-view" + std::to_string(n) + ".png";
        struct stat info;
        if (lstat(name.c_str(), &info) != 0) {
            return name;
        }
    }
}

void saveViewPicture(TraceIndexCache& index) {
    const Camera view = shownCamera();
    try {
        RenderJob job = currentRenderJob(view, view.quietVectorTransform());
        job.progress = false;
        if (gDrawMode == OPENGL) {
            // The preview never shows the hierarchy's boxes: the picture leaves
            // them out too.
            job.objects = gObjects;
        }
        // Columns of rows, as gImage holds them, so that the scaling and the
        // writer that batch renders use serve here too.
        std::vector<Color> pixels(static_cast<std::size_t>(job.width) * job.height);
        std::vector<Color*> columns(static_cast<std::size_t>(job.width));
        for (std::size_t x = 0; x < columns.size(); ++x) {
            columns[x] = pixels.data() + x * static_cast<std::size_t>(job.height);
        }
        renderImage(job, index.over(job.objects), columns.data());
        const ImageColumns image{columns.data(), job.width, job.height};
        scaleValues(image);
        const std::string name = viewPictureName(gInputFileName);
        writeImageFile(name, image);
        std::cout << "Saved view: " << name << "\n" << std::flush;
    } catch (const SceneError& error) {
        printErrorLine(sceneErrorLine(gInputFileName, error));
    } catch (const ProgramExit& failure) {
        printErrorLine(failure.errorLine());
    } catch (const std::bad_alloc&) {
        printErrorLine("not enough memory to save a " + std::to_string(gPixelWidth) + " x " +
                       std::to_string(gPixelHeight) + " view");
    }
}
