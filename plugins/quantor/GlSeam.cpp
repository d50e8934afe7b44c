#include "quantor/GlSeam.h"

#include <atomic>

namespace quantor {

uint64_t GlBatch::NextStamp()
{
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void GlSeam::DrawBatch(const GlBatch& batch)
{
    const float* v = batch.vertices.data();
    for (size_t p = 0; p < batch.Primitives(); ++p) {
        Begin(batch.primitive);
        for (size_t k = 0; k < GlBatch::kVerticesEach; ++k, v += GlBatch::kFloatsEach) {
            Color3f(v[3], v[4], v[5]);
            Vertex3f(v[0], v[1], v[2]);
        }
        End();
    }
}

}  // namespace quantor
