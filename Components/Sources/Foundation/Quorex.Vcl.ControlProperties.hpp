// The framework control properties that the library's components publish in
// form resources, declared once for all of them. Include it only where a
// component's published properties are declared.
#pragma once

#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>

namespace Quorex {

// Form streaming nests controls in their parents: a control's parent
// component is its parent control, and a windowed control names the child
// controls that the resource's root owns.
inline void SetParentControl(Vcl::TControl* Control, Vcl::TComponent* Parent)
{
  Control->SetParent(dynamic_cast<Vcl::TWinControl*>(Parent));
}

inline void NameChildControls(const Vcl::TWinControl* Control, const Vcl::TComponent::TGetChildProc& Proc,
                              const Vcl::TComponent* Root)
{
  for (Vcl::Integer i = 0; i < Control->ControlCount(); ++i)
    if (Control->Controls(i)->Owner() == Root)
      Proc(Control->Controls(i));
}

template <class C>
class TQxControlPublisher : public Vcl::TPublisher<C> {
protected:
  using T = C;
  using Vcl::TPublisher<C>::Property;
  using Vcl::TPublisher<C>::Event;

  // Bounds, caption, colours, font, state and the mouse events.
  void ControlProperties(Vcl::TAlign DefaultAlign, bool DefaultParentColor)
  {
    using namespace Vcl;
    Property("Left", &T::Left, &T::SetLeft);
    Property("Top", &T::Top, &T::SetTop);
    Property("Width", &T::Width, &T::SetWidth);
    Property("Height", &T::Height, &T::SetHeight);
    Property("Align", &T::Align, &T::SetAlign).Default(DefaultAlign);
    Property("Caption", &T::Caption, &T::SetCaption);
    Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(DefaultParentColor);
    Property("Color", &T::Color, &T::SetColor)
      .As(pkColor)
      .Default(clWindow)
      .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentColor(); });
    Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(true);
    Property("Font", &T::Font, &T::SetFont).StoredWhen([](const TObject* o) {
      return !static_cast<const TControl*>(o)->ParentFont();
    });
    Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
    Property("Visible", &T::Visible, &T::SetVisible).Default(true);
    Property("Hint", &T::Hint, &T::SetHint);
    Property("ShowHint", &T::ShowHint, &T::SetShowHint).Default(false);
    Event("OnClick", &T::OnClick);
    Event("OnDblClick", &T::OnDblClick);
    Event("OnMouseDown", &T::OnMouseDown);
    Event("OnMouseEnter", &T::OnMouseEnter);
    Event("OnMouseLeave", &T::OnMouseLeave);
    Event("OnMouseMove", &T::OnMouseMove);
    Event("OnMouseUp", &T::OnMouseUp);
    Event("OnResize", &T::OnResize);
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
