#pragma once

#include "elements/element.h"
#include "elements/shape.h"
#include "platform/stream.h"

#include <QByteArray>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Builds bytes with a writer, for records written by hand in the layout of a given version.
inline QByteArray Bytes(const std::function<void(TStreamWriter&)>& fill) {
    QByteArray b;
    TStreamWriter w(&b);
    fill(w);
    return b;
}

// The 23-byte common header with the fields the shape tests vary.
inline void WriteShapeHeader(TStreamWriter& w, bool noLine = false, bool noFill = false,
                             qint32 width = 4, qint32 color = 0x112233, qint32 fill = 0x445566,
                             quint8 fillStyle = 0) {
    w.WriteBool(noLine);
    w.WriteBool(noFill);
    w.WriteI32(width);
    w.WriteI32(color);
    w.WriteU8(0);
    w.WriteZeros(3);
    w.WriteI32(fill);
    w.WriteU8(fillStyle);
    w.WriteZeros(3);
    w.WriteBool(false);
}

inline void WritePoint(TStreamWriter& w, float x, float y) {
    w.WriteF32(x);
    w.WriteF32(y);
}

inline QByteArray SaveRecord(const TElement& e) {
    return Bytes([&](TStreamWriter& w) { e.SaveToStream(w); });
}

// Reads one record of the element type with the given file version; the whole record must be used.
template <class T> std::unique_ptr<T> LoadRecord(const QByteArray& bytes, int version = 80) {
    TFileVersionScope scope(version);
    auto e = std::make_unique<T>();
    TStreamReader r(bytes);
    e->LoadFromStream(r);
    EXPECT_TRUE(r.AtEnd()) << "record has " << r.Remaining() << " bytes left over";
    return e;
}

// Tests that change the shared shape style put the factory style back afterwards.
class ShapeTest : public ::testing::Test {
protected:
    void TearDown() override { g_ShapeStyle = TShapeStyle{}; }
};

inline void ExpectNear(TRPoint a, TRPoint b, double tol, const char* what) {
    EXPECT_NEAR(a.X, b.X, tol) << what;
    EXPECT_NEAR(a.Y, b.Y, tol) << what;
}
