// The live result box: a small frameless window next to the mouse cursor in which a measurement shows its value
// while it is being drawn. It never takes the focus, so the image window keeps receiving the keys (Escape).
// One library-wide instance, pRealtimeResultBox, created by the program once its main window exists and destroyed
// with it. UI thread only: the feed and hide helpers ignore calls from any other thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <memory>
#include <string>

class VISTREL_EXPORT CRealtimeResultObjBox
{
public:
    // Creates the window hidden, without a parent.
    CRealtimeResultObjBox();
    ~CRealtimeResultObjBox();
    CRealtimeResultObjBox(const CRealtimeResultObjBox&) = delete;
    CRealtimeResultObjBox& operator=(const CRealtimeResultObjBox&) = delete;

    // The text fills the whole box, top-left aligned; the box repaints.
    void ShowText(const std::string& text);
    std::string GetText() const;

    // Outer rectangle in screen coordinates.
    void MoveWindow(int x, int y, int width, int height);
    CRect GetWindowRect() const;

    // Shows without activating, so the focus stays where it is.
    void Show();
    void Hide();
    bool IsWindowVisible() const;

private:
    class Window;
    std::unique_ptr<Window> m_window;
};

// The box, or null when none exists.
extern VISTREL_EXPORT CRealtimeResultObjBox* pRealtimeResultBox;

// Creates the box (hidden) unless it exists or there is no application object to own windows.
VISTREL_EXPORT void CreateRealTimeResultBox_PZ();
// Destroys the box when there is one; pRealtimeResultBox becomes null.
VISTREL_EXPORT void DestroyRealTimeResultBox_PZ();

// What a measurement does while it is being drawn: puts `text` in the box, moves the box to the cursor's screen
// position + (10, 10) with size 100 x 25 and shows it. Nothing happens without a box.
VISTREL_EXPORT void FeedRealtimeResultBox(const std::string& text);
// Hides the box when there is one (a finished shape hides it whether or not it was shown).
VISTREL_EXPORT void HideRealtimeResultBox();
