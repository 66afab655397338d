// Lengths scaled from one DPI to another, without the Windows headers, so that
// the portable logic built natively scales exactly as the program does.
#pragma once

constexpr unsigned kDefaultDpi = 96;

// A length at one DPI, at another; rounded to the nearest pixel, halves away
// from zero, as MulDiv rounds.
constexpr int ScaleBetweenDpis(int nPixels, unsigned nFromDpi, unsigned nToDpi) {
    const long long scaled = static_cast<long long>(nPixels) * nToDpi;
    const long long half = nFromDpi / 2;
    return static_cast<int>((scaled >= 0 ? scaled + half : scaled - half) /
                            static_cast<long long>(nFromDpi));
}

// A length at 96 DPI, at another.
constexpr int ScaleForDpi(int nPixels96, unsigned nDpi) {
    return ScaleBetweenDpis(nPixels96, kDefaultDpi, nDpi);
}
