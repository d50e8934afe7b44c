#include "quantor/OpenGlSeam.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>

namespace quantor {

namespace {

GLenum ToGl(GlPrimitive primitive)
{
    switch (primitive) {
    case GlPrimitive::Quads: return GL_QUADS;
    case GlPrimitive::QuadStrip: return GL_QUAD_STRIP;
    case GlPrimitive::Lines: return GL_LINES;
    case GlPrimitive::LineLoop: return GL_LINE_LOOP;
    case GlPrimitive::LineStrip: return GL_LINE_STRIP;
    }
    return GL_POINTS;
}

constexpr GLsizei kFontLists = 128;

}  // namespace

void OpenGlSeam::Viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }
void OpenGlSeam::ClearDepth(double depth) { glClearDepth(depth); }
void OpenGlSeam::EnableDepthTest() { glEnable(GL_DEPTH_TEST); }
void OpenGlSeam::UnpackAlignment(int bytes) { glPixelStorei(GL_UNPACK_ALIGNMENT, bytes); }

void OpenGlSeam::ResetForeignState()
{
    // A painter draws with shaders, buffers and its own blend, scissor and stencil settings; fixed-function drawing
    // needs none of them.
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void OpenGlSeam::ClearColor(float r, float g, float b, float a) { glClearColor(r, g, b, a); }
void OpenGlSeam::ClearColourAndDepth() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
void OpenGlSeam::Finish() { glFinish(); }

void OpenGlSeam::MatrixMode(GlMatrix mode) { glMatrixMode(mode == GlMatrix::Projection ? GL_PROJECTION : GL_MODELVIEW); }
void OpenGlSeam::LoadIdentity() { glLoadIdentity(); }
void OpenGlSeam::PushMatrix() { glPushMatrix(); }
void OpenGlSeam::PopMatrix() { glPopMatrix(); }
void OpenGlSeam::Perspective(double fovy, double aspect, double zNear, double zFar)
{
    gluPerspective(fovy, aspect, zNear, zFar);
}
void OpenGlSeam::Ortho(double left, double right, double bottom, double top, double zNear, double zFar)
{
    glOrtho(left, right, bottom, top, zNear, zFar);
}
void OpenGlSeam::Ortho2D(double left, double right, double bottom, double top) { gluOrtho2D(left, right, bottom, top); }
void OpenGlSeam::Translate(double x, double y, double z) { glTranslated(x, y, z); }
void OpenGlSeam::Rotate(float degrees, float x, float y, float z) { glRotatef(degrees, x, y, z); }
void OpenGlSeam::Scale(float x, float y, float z) { glScalef(x, y, z); }

void OpenGlSeam::Begin(GlPrimitive primitive) { glBegin(ToGl(primitive)); }
void OpenGlSeam::End() { glEnd(); }
void OpenGlSeam::Color3f(float r, float g, float b) { glColor3f(r, g, b); }
void OpenGlSeam::Vertex3f(float x, float y, float z) { glVertex3f(x, y, z); }
void OpenGlSeam::LineWidth(float width) { glLineWidth(width); }
void OpenGlSeam::RasterPos3f(float x, float y, float z) { glRasterPos3f(x, y, z); }

uint32_t OpenGlSeam::BuildFont(const GlyphTable& glyphs)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLuint base = glGenLists(kFontLists);
    if (base == 0)
        return 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        glNewList(base + static_cast<GLuint>(kGlyphFirst + i), GL_COMPILE);
        glBitmap(8, kGlyphRows, 0, 2, 10, 0, glyphs[i]);
        glEndList();
    }
    return base;
}

void OpenGlSeam::DeleteFont(uint32_t base) { glDeleteLists(base, kFontLists); }

void OpenGlSeam::PrintText(uint32_t base, const char* text)
{
    glPushAttrib(GL_LIST_BIT);
    glListBase(base);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void OpenGlSeam::WireSphere(double radius, int slices, int stacks)
{
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric)
        return;
    gluQuadricDrawStyle(quadric, GLU_LINE);
    gluSphere(quadric, radius, slices, stacks);
    gluDeleteQuadric(quadric);
}

void OpenGlSeam::DrawBatch(const GlBatch& batch)
{
    const size_t primitives = batch.Primitives();
    if (primitives == 0)
        return;
    const size_t vertices = primitives * GlBatch::kVerticesEach;
    if (m_batchBuffer == 0)
        glGenBuffers(1, &m_batchBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, m_batchBuffer);
    if (batch.stamp != m_batchStamp || batch.stamp == 0) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices * GlBatch::kFloatsEach * sizeof(float)),
                     batch.vertices.data(), GL_STATIC_DRAW);
        m_batchStamp = batch.stamp;
    }
    constexpr GLsizei stride = GlBatch::kFloatsEach * sizeof(float);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    if (batch.primitive == GlPrimitive::Quads || batch.primitive == GlPrimitive::Lines) {
        glDrawArrays(ToGl(batch.primitive), 0, static_cast<GLsizei>(vertices));
    } else {
        // Loops and strips join whatever one call gives them: each primitive is a draw of its own.
        if (m_firsts.size() != primitives) {
            m_firsts.resize(primitives);
            m_counts.assign(primitives, static_cast<int>(GlBatch::kVerticesEach));
            for (size_t p = 0; p < primitives; ++p)
                m_firsts[p] = static_cast<int>(p * GlBatch::kVerticesEach);
        }
        glMultiDrawArrays(ToGl(batch.primitive), m_firsts.data(), m_counts.data(), static_cast<GLsizei>(primitives));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // A colour array leaves the current colour undefined; what follows may rely on the last vertex's.
    const float* last = &batch.vertices[(vertices - 1) * GlBatch::kFloatsEach];
    glColor3f(last[3], last[4], last[5]);
}

void OpenGlSeam::ReleaseBatches()
{
    if (m_batchBuffer != 0)
        glDeleteBuffers(1, &m_batchBuffer);
    m_batchBuffer = 0;
    m_batchStamp = 0;
}

}  // namespace quantor
