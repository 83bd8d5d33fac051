// The framework control properties that the library's controls publish
// beside their own, with the defaults they differ in. Include it only where
// a component's published properties are declared.
#pragma once

#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace Quorex {

template <class C>
class TQxControlPublisher : public Vcl::TPublisher<C> {
protected:
  using T = C;
  using Vcl::TPublisher<C>::Property;
  using Vcl::TPublisher<C>::Publish;
  using Vcl::TPublisher<C>::Event;

  // Placement, caption, colours, font, state, hints and the mouse events.
  void ControlProperties(Vcl::TAlign DefaultAlign, bool DefaultParentColor)
  {
    Publish("Align").Default(DefaultAlign);
    for (const char* name : {"Anchors", "Caption", "Constraints"})
      Publish(name);
    // Each parent switch before the value it stands for, so that a stored
    // value is read last and wins.
    Publish("ParentColor").Default(DefaultParentColor);
    for (const char* name : {"Color", "ParentFont", "Font", "Enabled", "Visible", "ParentShowHint", "ShowHint",
                             "PopupMenu", "OnClick", "OnContextPopup", "OnDblClick", "OnMouseDown", "OnMouseEnter",
                             "OnMouseLeave", "OnMouseMove", "OnMouseUp", "OnResize"})
      Publish(name);
  }

  // Bi-directional text, dragging and docking with their events, and the
  // mouse-activation event, as the framework's own controls publish them.
  void DragAndBiDiProperties()
  {
    for (const char* name : {"ParentBiDiMode", "BiDiMode", "DragCursor", "DragKind", "DragMode", "OnDragDrop",
                             "OnDragOver", "OnEndDock", "OnEndDrag", "OnMouseActivate", "OnStartDock", "OnStartDrag"})
      Publish(name);
  }

  // What the library's edits publish of the framework's edit, in its order,
  // less the names in Without: placement, the frame, text and selection,
  // case, hint text, input method, colours, font, hints, the keyboard and
  // mouse events, bi-directional text, dragging, the 3-D look, gestures,
  // auto-size and the tab stop.
  void EditProperties(std::initializer_list<std::string_view> Without)
  {
    Publish("ParentColor").Default(false);
    for (const char* name :
         {"Align", "Alignment", "Anchors", "AutoSelect", "BevelEdges", "BevelInner", "BevelKind", "BevelOuter",
          "BevelWidth", "BorderStyle", "CharCase", "Color", "Constraints", "DoubleBuffered", "Enabled", "ParentFont",
          "Font", "HideSelection", "ImeMode", "ImeName", "MaxLength", "NumbersOnly", "OEMConvert", "ParentShowHint",
          "PasswordChar", "PopupMenu", "ReadOnly", "ShowHint", "TabOrder", "Text", "TextHint", "Visible", "OnChange", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter",
          "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
          "OnMouseMove", "OnMouseUp"})
      if (std::find(Without.begin(), Without.end(), name) == Without.end())
        Publish(name);
    DragAndBiDiProperties();
    for (const char* name : {"ParentCtl3D", "Ctl3D", "Touch", "OnGesture"})
      Publish(name);
    Publish("AutoSize").Default(true);
    Publish("TabStop").Default(true);
  }

  // What the library's owner-drawn push buttons publish of the framework's
  // button: placement, font, hints, tab stop, bi-directional text, double
  // buffering (on, and their own), dragging and docking with their events.
  void PushButtonProperties()
  {
    for (const char* name :
         {"Action", "Align", "Anchors", "ParentBiDiMode", "BiDiMode", "Constraints", "DragCursor", "DragKind",
          "DragMode", "Enabled", "ParentFont", "Font", "ParentShowHint", "ShowHint", "PopupMenu", "TabOrder", "Visible",
          "OnClick", "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit",
          "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseActivate", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
          "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"})
      Publish(name);
    Publish("TabStop").Default(true);
    Publish("ParentDoubleBuffered").Default(false);
    Publish("DoubleBuffered").Default(true);
  }
};

} // namespace Quorex

// Declares the published properties of a library component; follow it with
// a body that calls ControlProperties and declares the component's own.
#define QX_PUBLISHED_CONTROL(Class)                                                            \
  namespace {                                                                                  \
  struct QxPublished_##Class : ::Quorex::TQxControlPublisher<Class> {                          \
    QxPublished_##Class();                                                                     \
  };                                                                                           \
  const QxPublished_##Class QxPublishedInstance_##Class;                                       \
  }                                                                                            \
  QxPublished_##Class::QxPublished_##Class()
