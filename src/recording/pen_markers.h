#pragma once
// The record window's pictures: six channel markers that sit left of the trend
// chart at the height of each channel's newest point, and the two glyphs of
// the mode toggle. They are PNG files named *.dat in the folder PenData beside
// the executable and are decoded with libpng.

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

constexpr int kPenMarkerCount = 6;

// File names in PenData: the markers of CH1 .. CH6, then the mode glyphs.
inline constexpr std::array<const char*, kPenMarkerCount> kPenMarkerFiles{
    "green.dat", "red.dat", "blue.dat", "maroon.dat", "yellow.dat", "red2.dat"};
inline constexpr const char* kRecordingGlyphFile = "12.dat";
inline constexpr const char* kInspectionGlyphFile = "13.dat";
inline constexpr const char* kPenDataFolder = "PenData";

// Images larger than this, or files longer than this many bytes, are refused
// rather than decoded: the pictures are small, and a damaged header must not
// make us allocate gigabytes.
constexpr int kPenImageMaxSide = 1024;
constexpr qint64 kPenImageMaxFileBytes = 4 * 1024 * 1024;

struct DecodedPng {
    QImage image;   // Format_ARGB32; null when the file could not be used
    QString error;  // empty on success, otherwise names the file and the reason
};

// Reads and decodes one PNG file. A missing, unreadable, oversized, truncated
// or otherwise damaged file gives a null image and an error text.
DecodedPng DecodePngFile(const QString& path);

struct PenDataImages {
    std::array<QImage, kPenMarkerCount> markers;  // CH1 .. CH6
    QImage recordingGlyph;                         // mode toggle in Recording
    QImage inspectionGlyph;                        // mode toggle in Inspection
    QStringList errors;                            // one per file not loaded
};

// Loads every picture from `folder` (normally <executable folder>/PenData).
// Pictures that fail stay null and their errors are collected; the window
// works without them.
PenDataImages LoadPenData(const QString& folder);
