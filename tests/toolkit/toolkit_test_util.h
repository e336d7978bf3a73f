// Views that record what reaches them, and small helpers shared by the toolkit tests.
#pragma once

#include <string>
#include <vector>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"
#include "toolkit/platform/headless/headless.h"

namespace toolkit_test {

using namespace VSTGUI;

/// One event as a view saw it.
struct Event {
  std::string what;
  CPoint where;
  CButton buttons = 0;
};

/// A view that logs its events and answers as configured.
class RecordingView : public CView {
 public:
  explicit RecordingView(const CRect& r, std::vector<Event>* log = nullptr, std::string name = "")
      : CView(r), log(log), name(std::move(name)) {}

  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override {
    record("down", where, buttons);
    return downResult;
  }
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override {
    record("moved", where, buttons);
    return movedResult;
  }
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override {
    record("up", where, buttons);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(const CPoint& where, const CButton& buttons) override {
    record("entered", where, buttons);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(const CPoint& where, const CButton& buttons) override {
    record("exited", where, buttons);
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override {
    record("wheel", where, buttons);
    lastWheel = distance;
    return true;
  }
  std::int32_t onKeyDown(VstKeyCode&) override {
    record("key", {}, 0);
    return keyResult;
  }
  void takeFocus() override { record("takeFocus", {}, 0); }
  void looseFocus() override { record("looseFocus", {}, 0); }
  void draw(CDrawContext* context) override {
    ++drawCount;
    if (fill.alpha) {
      context->setFillColor(fill);
      context->fillRect(fillArea.isEmpty() ? size : fillArea);
    }
    CView::draw(context);
  }

  std::vector<Event>* log;
  std::string name;
  CMouseEventResult downResult = kMouseEventHandled;
  CMouseEventResult movedResult = kMouseEventHandled;
  std::int32_t keyResult = -1;
  float lastWheel = 0.f;
  int drawCount = 0;
  CColor fill{};   // drawn over fillArea (or the view) when its alpha is not 0
  CRect fillArea;  // in the parent's coordinates, may exceed the view

 private:
  void record(const char* what, const CPoint& where, CButton buttons) {
    if (log) log->push_back({name.empty() ? what : name + ":" + what, where, buttons});
  }
};

/// Any non-null value serves as the host's parent window for the headless platform.
inline void* fakeParentWindow() { return reinterpret_cast<void*>(0x1000); }

/// The frame's headless window.
inline Platform::Window* windowOf(CFrame* frame) { return frame->getPlatformWindow(); }

/// ARGB of a colour.
inline std::uint32_t argb(const CColor& c) { return toArgb(c); }

}  // namespace toolkit_test
