// libFuzzer target: any bytes given to the snapshot reader end in a result
// or a SnapshotError, never in a crash, a hang, a read past the buffer or
// undefined behaviour. A stream that reads is written back byte for byte.
#include "state/core/control_snapshots.h"
#include "state/core/picture_data.h"

#include <cstdint>
#include <cstdlib>

namespace {

template <typename F>
void expectSnapshotErrorOnly(F&& f)
{
    try {
        f();
    } catch (const SnapshotError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A private copy: a read past its end is caught by the address sanitizer.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArrayView stream = stripResourceHeader(bytes);

    expectSnapshotErrorOnly([&] {
        const SnapshotObject object = readSnapshot(stream);
        if (!stream.startsWith(writeSnapshot(object)))
            std::abort(); // what was read must be written back as it was
    });
    expectSnapshotErrorOnly([&] {
        TreeSnapshotState tree;
        applyTreeSnapshot(stream, tree);
        if (decodeTreeItems(encodeTreeItems(tree.entries)).size() != tree.entries.size())
            std::abort();
    });
    expectSnapshotErrorOnly([&] {
        PictureSnapshotState picture;
        applyPictureSnapshot(stream, picture);
    });
    expectSnapshotErrorOnly([&] {
        GridLayout grid;
        applyGridSnapshot(stream, grid);
        writeGridSnapshot("StringGrid_Analiz", grid);
    });
    // The same bytes as a bare payload.
    expectSnapshotErrorOnly([&] { decodeTreeItems(bytes); });
    expectSnapshotErrorOnly([&] { decodePictureData(bytes); });
    return 0;
}
