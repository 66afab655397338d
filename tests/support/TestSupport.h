// Helpers shared by the Windows tests: scratch folders, files, scripted message
// boxes and message pumping.
#pragma once

#include "Files.h"

#include "platform/ScopedHandles.h"

#include <windows.h>

#include <oleacc.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Answers every message box while it lives and remembers what was shown.
class CMessageBoxLog {
public:
    explicit CMessageBoxLog(int defaultAnswer = IDOK);
    ~CMessageBoxLog();
    CMessageBoxLog(const CMessageBoxLog&) = delete;
    CMessageBoxLog& operator=(const CMessageBoxLog&) = delete;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // The next box whose text holds fragment is answered by answer(), which
    // may act while the box is open.
    void AnswerWhen(std::string fragment, std::function<int()> answer) {
        m_hooks.push_back({std::move(fragment), std::move(answer)});
    }

    struct Shown {
        std::string text;
        UINT type;
    };
    std::vector<Shown> m_shown;
    std::vector<std::string> Texts() const;

private:
    int m_defaultAnswer;
    std::deque<int> m_answers;
    std::vector<std::pair<std::string, std::function<int()>>> m_hooks;
};

// Dispatches every message already waiting for this thread.
void PumpPending();

// A window's client area as it is on screen, 3 bytes a pixel, top row first.
struct CCapture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const;
};
CCapture CaptureClient(HWND hWnd);
bool SaveCapture(const CCapture& capture, const std::string& path);

// A plain visible top-level window to put test controls in.
HWND CreateTestHostWindow(int width, int height);

// A visible top-level window bound to an object, so that it reflects its
// children's notifications to them; its background is the given system colour.
bool CreateTestParent(class CWnd& parent, const RECT& rc, int nSysColour);

// A child's window rectangle in its parent's client coordinates.
RECT RectInParent(HWND hChild, HWND hParent);

// The process's live GDI objects. Wine's GetGuiResources always answers 0, so
// there the shared handle table that the process environment block names is counted.
int CountGdiObjects();

// A window's client object as a screen reader gets it, and what it says of itself.
CComPtr<IAccessible> ClientAccessible(HWND hWnd);
struct AccessibleFacts {
    std::string name;
    LONG role = 0;
    LONG state = 0;
    std::string value;
    std::string defaultAction;
};
AccessibleFacts ReadAccessible(HWND hWnd);
