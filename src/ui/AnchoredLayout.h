// A resizable dialog whose controls keep the places its template gives them, some following its
// lower right corner, at the DPI it started at and, scaled, at any other; and its size in dialog
// units, so that a remembered size comes back the same at another screen resolution.
#pragma once

#include <windows.h>

#include <vector>

// How a control follows the dialog's lower right corner; a control without a flag stays put.
enum AnchorFollow : unsigned { Widens = 1, Heightens = 2, MovesRight = 4, MovesDown = 8 };

struct ControlAnchor {
    int id;
    unsigned follow;
};

class AnchoredLayout {
public:
    // Records where the template put each anchored control and the dialog's size then, which is
    // also the smallest it may be made unless minimumUnits (a client size in dialog units) allows
    // less: controls that widen or heighten then narrow or shorten. Called once the dialog tracks
    // its DPI (TrackDialogDpi).
    void Record(HWND dialog, const ControlAnchor* anchors, size_t count, SIZE minimumUnits = SIZE{});
    bool Recorded() const { return templateClient_.cx > 0; }
    // Places the anchored controls for a client area of that size, at the dialog's DPI now.
    void Place(HWND dialog, int width, int height) const;
    // The smallest outer size, at the dialog's DPI now.
    POINT MinimumTrackSize(HWND dialog) const;

private:
    struct Placed {
        ControlAnchor anchor;
        RECT rect;
    };
    std::vector<Placed> placed_;
    SIZE templateClient_{};
    SIZE minimumClient_{};
};

// The dialog's client size in dialog units.
SIZE ClientSizeInDialogUnits(HWND dialog);
// Gives the dialog a client area of that size in dialog units, no smaller than minimumTrackSize
// (the outer size); a size of zero leaves it as it is.
void SetClientSizeInDialogUnits(HWND dialog, SIZE units, POINT minimumTrackSize);
