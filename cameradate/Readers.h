// One reader per container, each over a bounded source of the whole file;
// CameraDate.cpp tells them apart by their first bytes. Each gives none for a
// file it does not understand.
#pragma once

#include "ByteSource.h"
#include "CameraDate.h"

#include <optional>
#include <string>

// The EXIF of a TIFF structure: the whole file for TIFF and the TIFF-based
// raws (with their own magic numbers), an embedded block in other containers.
std::optional<CameraDate> ExifDate(const CSource& tiff);
// A date tag of the first IFD of a TIFF structure, for a block that holds an
// IFD other than the main image's (CR3 keeps its EXIF IFD as a TIFF of its own).
std::optional<std::tm> FirstIfdDate(const CSource& tiff, uint16_t tag);
// CameraDate's model and sub-second digits from the first IFD alone: CR3's
// CMT1 holds the model, its CMT2 the sub-seconds.
std::string FirstIfdModel(const CSource& tiff);
std::string FirstIfdSubSecond(const CSource& tiff);

// EXIF as PNG and WebP keep it: a TIFF structure, which some writers put
// behind the "Exif\0\0" that opens it in JPEG.
inline std::optional<CameraDate> ExifBlockDate(const CSource& block) {
    unsigned char id[6];
    const bool prefixed = block.Read(0, sizeof(id), id) && std::memcmp(id, "Exif\0\0", 6) == 0;
    return ExifDate(CSliceSource(block, prefixed ? sizeof(id) : 0, block.Size()));
}

std::optional<CameraDate> JpegDate(const CSource& file);
std::optional<CameraDate> TiffDate(const CSource& file);
std::optional<CameraDate> HeifDate(const CSource& file);      // HEIC, HEIF, AVIF
std::optional<CameraDate> QuickTimeDate(const CSource& file); // MOV, MP4, M4V, 3GP, 3G2
std::optional<CameraDate> Cr3Date(const CSource& file);       // Canon CR3
std::optional<CameraDate> JxlDate(const CSource& file);       // JPEG XL in its container
std::optional<CameraDate> RafDate(const CSource& file);       // Fujifilm RAF
std::optional<CameraDate> MrwDate(const CSource& file);       // Minolta MRW
std::optional<CameraDate> X3fDate(const CSource& file);       // Sigma X3F
std::optional<CameraDate> CrwDate(const CSource& file);       // Canon CRW
std::optional<CameraDate> PngDate(const CSource& file);
std::optional<CameraDate> WebpDate(const CSource& file);
std::optional<CameraDate> AviDate(const CSource& file);
std::optional<CameraDate> AvchdDate(const CSource& file); // MTS, M2TS
