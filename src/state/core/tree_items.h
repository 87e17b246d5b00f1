#pragma once

// The entries of a tree control as its snapshot keeps them in the binary
// property "Items.Data": a 4-byte count of top-level entries, then one entry
// record per entry, depth first, each followed by those of its children.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

struct TreeEntry {
    QString text;
    int imageIndex = 0;    // the icon shown
    int selectedIndex = 0; // the icon shown while selected
    int stateIndex = -1;   // -1: none
    int overlayIndex = -1; // -1: none
    std::vector<TreeEntry> children;

    bool operator==(const TreeEntry&) const = default;
};

using TreeEntries = std::vector<TreeEntry>;

// The longest entry text a record holds; longer texts are cut.
inline constexpr int kTreeTextMax = 255;
// Trees deeper than this are refused rather than risking the stack.
inline constexpr int kTreeMaxDepth = 256;

// The payload of "Items.Data". Texts are written in Windows-1251 (characters
// it lacks become '?') and cut to 255 characters.
QByteArray encodeTreeItems(const TreeEntries& entries);

// Decodes a payload. Throws SnapshotError for a record size outside 25..280,
// a text longer than its record, a negative count or a payload that ends
// early.
TreeEntries decodeTreeItems(QByteArrayView payload);

// True for the payload layout of Lazarus programs (it starts with -7), which
// this reader does not apply.
bool isLazarusTreeItems(QByteArrayView payload);
