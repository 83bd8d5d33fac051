// The notification area on a freedesktop desktop: StatusNotifierItem
// objects for the icons and org.freedesktop.Notifications for the balloons,
// over GDBus on a main context of our own that the message loop drives.
#include "Win.Shell.NotifyIcon.hpp"

#include "Win.Gdi.Internal.hpp"
#include "Win.Shell.NotifyIcon.Internal.hpp"

#include <gio/gio.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include <unistd.h>

namespace Win {

namespace {

constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kMenuInterface = "com.canonical.dbusmenu";
constexpr const char* kItemXml = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewTitle"/>
  </interface>
  <interface name="com.canonical.dbusmenu">
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
    <method name="GetLayout">
      <arg type="i" direction="in"/><arg type="i" direction="in"/><arg type="as" direction="in"/>
      <arg type="u" direction="out"/><arg type="(ia{sv}av)" direction="out"/>
    </method>
    <method name="GetGroupProperties">
      <arg type="ai" direction="in"/><arg type="as" direction="in"/><arg type="a(ia{sv})" direction="out"/>
    </method>
    <method name="Event">
      <arg type="i" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="in"/>
      <arg type="u" direction="in"/>
    </method>
    <method name="AboutToShow"><arg type="i" direction="in"/><arg type="b" direction="out"/></method>
    <signal name="LayoutUpdated"><arg type="u"/><arg type="i"/></signal>
  </interface>
</node>)xml";
constexpr UINT kPumpInterval = 20;

struct TItem {
  HWND Window = nullptr;
  UINT Id = 0;
  std::string Path;
  guint Registration = 0;
  guint MenuRegistration = 0;
  TNotifyIconInfo Info;
  guint32 Notification = 0; // the balloon's notification, 0 without one
  // The menu as the desktop last heard of it, and its revision, which
  // LayoutUpdated announces and GetLayout answers with.
  std::vector<TNotifyMenuEntry> Menu;
  guint32 MenuRevision = 1;
};

bool SameEntry(const TNotifyMenuEntry& A, const TNotifyMenuEntry& B)
{
  return A.Id == B.Id && A.Parent == B.Parent && A.Label == B.Label && A.Separator == B.Separator &&
         A.Enabled == B.Enabled && A.Visible == B.Visible && A.Checked == B.Checked;
}

std::vector<TNotifyMenuEntry> MenuEntriesOf(HWND hWnd, UINT Id)
{
  const TNotifyIconMenu menu = NotifyIconMenu(hWnd, Id);
  return menu.Entries ? menu.Entries() : std::vector<TNotifyMenuEntry>();
}

// Icon pixels as ARGB32 in network byte order, the way the protocol wants them.
GVariant* PixmapOf(HICON icon)
{
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE("a(iiay)"));
  ICONINFO info;
  if (icon && GetIconInfo(icon, &info)) {
    const TBitmapObject& colour = *info.hbmColor;
    const TBitmapObject& mask = *info.hbmMask;
    const bool alpha = IconHasAlpha(icon);
    std::vector<guchar> bytes;
    bytes.reserve(colour.Pixels.size() * 4);
    for (size_t i = 0; i < colour.Pixels.size(); ++i) {
      const std::uint32_t p = colour.Pixels[i];
      const guchar a = alpha ? guchar(p >> 24) : (mask.Pixels[i] & 0xFFFFFF) ? 0 : 255;
      bytes.insert(bytes.end(), {a, guchar(p >> 16), guchar(p >> 8), guchar(p)});
    }
    GVariant* data = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), 1);
    g_variant_builder_add(&list, "(ii@ay)", colour.Width, colour.Height, data);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  return g_variant_builder_end(&list);
}

GVariant* MenuProperties(const TNotifyMenuEntry& Entry)
{
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
  if (Entry.Separator) {
    g_variant_builder_add(&b, "{sv}", "type", g_variant_new_string("separator"));
  } else {
    g_variant_builder_add(&b, "{sv}", "label", g_variant_new_string(Entry.Label.c_str()));
    g_variant_builder_add(&b, "{sv}", "enabled", g_variant_new_boolean(Entry.Enabled));
  }
  g_variant_builder_add(&b, "{sv}", "visible", g_variant_new_boolean(Entry.Visible));
  if (Entry.Checked) {
    g_variant_builder_add(&b, "{sv}", "toggle-type", g_variant_new_string("checkmark"));
    g_variant_builder_add(&b, "{sv}", "toggle-state", g_variant_new_int32(1));
  }
  return g_variant_builder_end(&b);
}

// The entry Id and what lies under it, as com.canonical.dbusmenu lays it out.
GVariant* MenuLayout(const std::vector<TNotifyMenuEntry>& Entries, int Id)
{
  GVariantBuilder children;
  g_variant_builder_init(&children, G_VARIANT_TYPE("av"));
  bool any = false;
  for (const TNotifyMenuEntry& e : Entries)
    if (e.Parent == Id && e.Id != Id) {
      g_variant_builder_add(&children, "v", MenuLayout(Entries, e.Id));
      any = true;
    }
  GVariant* properties = nullptr;
  auto it = std::find_if(Entries.begin(), Entries.end(), [Id](const TNotifyMenuEntry& e) { return e.Id == Id; });
  if (it != Entries.end()) {
    properties = MenuProperties(*it);
  } else {
    GVariantBuilder root;
    g_variant_builder_init(&root, G_VARIANT_TYPE("a{sv}"));
    properties = g_variant_builder_end(&root);
  }
  if (any) {
    GVariantDict dict;
    g_variant_dict_init(&dict, properties);
    g_variant_dict_insert(&dict, "children-display", "s", "submenu");
    g_variant_unref(g_variant_ref_sink(properties));
    properties = g_variant_dict_end(&dict);
  }
  return g_variant_new("(i@a{sv}@av)", Id, properties, g_variant_builder_end(&children));
}

const char* BalloonIconName(DWORD flags)
{
  switch (flags & 3) {
  case NIIF_INFO: return "dialog-information";
  case NIIF_WARNING: return "dialog-warning";
  case NIIF_ERROR: return "dialog-error";
  default: return "";
  }
}

class TFreedesktopPresenter : public TNotifyAreaPresenter {
public:
  TFreedesktopPresenter(GMainContext* Context, GDBusConnection* Connection, GDBusNodeInfo* Node)
    : FContext(Context), FConnection(Connection), FNode(Node)
  {
    TContextScope scope(FContext);
    FClosedSignal = g_dbus_connection_signal_subscribe(FConnection, nullptr, "org.freedesktop.Notifications",
                                                       "NotificationClosed", "/org/freedesktop/Notifications",
                                                       nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, this, nullptr);
    FActionSignal = g_dbus_connection_signal_subscribe(FConnection, nullptr, "org.freedesktop.Notifications",
                                                       "ActionInvoked", "/org/freedesktop/Notifications", nullptr,
                                                       G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, this, nullptr);
    FPump = SetTimer(nullptr, 0, kPumpInterval, Pump);
    Current() = this;
  }
  ~TFreedesktopPresenter() override
  {
    Current() = nullptr;
    KillTimer(nullptr, FPump);
    for (auto& [key, item] : FItems) {
      g_dbus_connection_unregister_object(FConnection, item.Registration);
      g_dbus_connection_unregister_object(FConnection, item.MenuRegistration);
    }
    g_dbus_connection_signal_unsubscribe(FConnection, FClosedSignal);
    g_dbus_connection_signal_unsubscribe(FConnection, FActionSignal);
    g_dbus_connection_flush_sync(FConnection, nullptr, nullptr);
    g_dbus_connection_close_sync(FConnection, nullptr, nullptr);
    g_object_unref(FConnection);
    g_dbus_node_info_unref(FNode);
    while (g_main_context_iteration(FContext, FALSE)) {
    }
    g_main_context_unref(FContext);
  }

  void IconAdded(const TNotifyIconInfo& Icon) override
  {
    TContextScope scope(FContext);
    TItem& item = FItems[{Icon.Window, Icon.Id}];
    item.Window = Icon.Window;
    item.Id = Icon.Id;
    item.Info = Icon;
    item.Path = "/StatusNotifierItem/" + std::to_string(++FNextPath);
    static const GDBusInterfaceVTable vtable = {OnMethod, OnProperty, nullptr, {}};
    static const GDBusInterfaceVTable menuVtable = {OnMenuMethod, OnMenuProperty, nullptr, {}};
    item.Registration = g_dbus_connection_register_object(FConnection, item.Path.c_str(), FNode->interfaces[0],
                                                          &vtable, new TKey{Icon.Window, Icon.Id}, DeleteKey,
                                                          nullptr);
    item.MenuRegistration =
      g_dbus_connection_register_object(FConnection, (item.Path + "/Menu").c_str(), FNode->interfaces[1],
                                        &menuVtable, new TKey{Icon.Window, Icon.Id}, DeleteKey, nullptr);
    g_dbus_connection_call(FConnection, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                           "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem",
                           g_variant_new("(s)", item.Path.c_str()), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1,
                           nullptr, nullptr, nullptr);
  }

  void IconChanged(const TNotifyIconInfo& Icon) override
  {
    TItem* item = Find(Icon.Window, Icon.Id);
    if (!item)
      return;
    const bool newTip = item->Info.Tip != Icon.Tip, newIcon = item->Info.Icon != Icon.Icon;
    item->Info = Icon;
    if (newTip) {
      Emit(*item, "NewToolTip");
      Emit(*item, "NewTitle");
    }
    if (newIcon)
      Emit(*item, "NewIcon");
  }

  void IconRemoved(HWND hWnd, UINT Id) override
  {
    auto it = FItems.find({hWnd, Id});
    if (it == FItems.end())
      return;
    g_dbus_connection_unregister_object(FConnection, it->second.Registration);
    g_dbus_connection_unregister_object(FConnection, it->second.MenuRegistration);
    FItems.erase(it);
  }

  void BalloonShown(const TNotifyIconInfo& Icon) override
  {
    TItem* item = Find(Icon.Window, Icon.Id);
    if (!item)
      return;
    TContextScope scope(FContext);
    const char* actions[] = {"default", "Open", nullptr};
    g_dbus_connection_call(
      FConnection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
      "Notify",
      g_variant_new("(susss^asa{sv}i)", item->Info.Tip.c_str(), item->Notification, BalloonIconName(Icon.BalloonFlags),
                    Icon.BalloonTitle.c_str(), Icon.BalloonText.c_str(), actions, nullptr, gint32(Icon.BalloonTimeout)),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, OnNotified, new TKey{Icon.Window, Icon.Id});
  }

  void BalloonClosed(HWND hWnd, UINT Id) override
  {
    TItem* item = Find(hWnd, Id);
    if (!item || !item->Notification)
      return;
    TContextScope scope(FContext);
    g_dbus_connection_call(FConnection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                           "org.freedesktop.Notifications", "CloseNotification",
                           g_variant_new("(u)", std::exchange(item->Notification, 0)), nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, nullptr, nullptr);
  }

private:
  using TKey = std::pair<HWND, UINT>;

  // Calls and registrations made in the scope answer on our context.
  class TContextScope {
  public:
    explicit TContextScope(GMainContext* Context) : FContext(Context) { g_main_context_push_thread_default(Context); }
    ~TContextScope() { g_main_context_pop_thread_default(FContext); }
    TContextScope(const TContextScope&) = delete;
    TContextScope& operator=(const TContextScope&) = delete;

  private:
    GMainContext* FContext;
  };

  static TFreedesktopPresenter*& Current()
  {
    static TFreedesktopPresenter* current = nullptr;
    return current;
  }
  static void DeleteKey(gpointer Key) { delete static_cast<TKey*>(Key); }

  TItem* Find(HWND hWnd, UINT Id)
  {
    auto it = FItems.find({hWnd, Id});
    return it == FItems.end() ? nullptr : &it->second;
  }

  void Emit(const TItem& Item, const char* Signal)
  {
    g_dbus_connection_emit_signal(FConnection, nullptr, Item.Path.c_str(), kItemInterface, Signal, nullptr, nullptr);
  }

  static void Pump(HWND, UINT, UINT_PTR, DWORD)
  {
    TFreedesktopPresenter* self = Current();
    if (!self)
      return;
    self->AnnounceMenuChanges();
    while (g_main_context_iteration(self->FContext, FALSE)) {
    }
  }

  // Menus are read when asked for, so a change is found by reading them: a
  // menu that differs from what the desktop last heard of gets a new
  // revision, announced for the whole layout (parent 0).
  void AnnounceMenuChanges()
  {
    for (auto& [key, item] : FItems) {
      std::vector<TNotifyMenuEntry> entries = MenuEntriesOf(key.first, key.second);
      if (std::equal(entries.begin(), entries.end(), item.Menu.begin(), item.Menu.end(), SameEntry))
        continue;
      item.Menu = std::move(entries);
      ++item.MenuRevision;
      g_dbus_connection_emit_signal(FConnection, nullptr, (item.Path + "/Menu").c_str(), kMenuInterface,
                                    "LayoutUpdated", g_variant_new("(ui)", item.MenuRevision, 0), nullptr);
    }
  }

  static void OnMethod(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* Method, GVariant*,
                       GDBusMethodInvocation* Invocation, gpointer Key)
  {
    const TKey key = *static_cast<TKey*>(Key);
    const std::string method = Method;
    const auto press = [&key](UINT down, UINT up) {
      InjectNotifyIconEvent(key.first, key.second, down);
      InjectNotifyIconEvent(key.first, key.second, up);
    };
    if (method == "Activate")
      press(WM_LBUTTONDOWN, WM_LBUTTONUP);
    else if (method == "SecondaryActivate")
      press(WM_MBUTTONDOWN, WM_MBUTTONUP);
    else if (method == "ContextMenu")
      press(WM_RBUTTONDOWN, WM_RBUTTONUP);
    g_dbus_method_invocation_return_value(Invocation, nullptr);
  }

  static GVariant* OnProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* Name,
                              GError** Error, gpointer Key)
  {
    TFreedesktopPresenter* self = Current();
    TItem* item = self ? self->Find(static_cast<TKey*>(Key)->first, static_cast<TKey*>(Key)->second) : nullptr;
    if (!item) {
      g_set_error(Error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT, "The icon is gone");
      return nullptr;
    }
    const std::string name = Name;
    const TNotifyIconInfo& info = item->Info;
    if (name == "Category")
      return g_variant_new_string("ApplicationStatus");
    if (name == "Id")
      return g_variant_new_string(("qx-" + std::to_string(getpid()) + "-" + std::to_string(info.Id)).c_str());
    if (name == "Title")
      return g_variant_new_string(info.Tip.c_str());
    if (name == "Status")
      return g_variant_new_string("Active");
    if (name == "WindowId")
      return g_variant_new_int32(0);
    if (name == "IconName")
      return g_variant_new_string("");
    if (name == "IconPixmap")
      return PixmapOf(info.Icon);
    if (name == "ToolTip")
      return g_variant_new("(s@a(iiay)ss)", "", PixmapOf(nullptr), info.Tip.c_str(), "");
    if (name == "ItemIsMenu")
      return g_variant_new_boolean(FALSE);
    return g_variant_new_object_path((item->Path + "/Menu").c_str());
  }

  static void OnMenuMethod(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* Method,
                           GVariant* Parameters, GDBusMethodInvocation* Invocation, gpointer Key)
  {
    const auto [window, id] = *static_cast<TKey*>(Key);
    // A copy: choosing may take the menu, or the icon, away.
    const TNotifyIconMenu menu = NotifyIconMenu(window, id);
    const std::vector<TNotifyMenuEntry> entries = menu.Entries ? menu.Entries() : std::vector<TNotifyMenuEntry>();
    const std::string method = Method;
    if (method == "GetLayout") {
      gint32 parent = 0;
      g_variant_get_child(Parameters, 0, "i", &parent);
      // The layout served is the current one: it carries the revision that
      // announces it, announced now if it was not yet.
      TFreedesktopPresenter* self = Current();
      if (self)
        self->AnnounceMenuChanges();
      TItem* item = self ? self->Find(window, id) : nullptr;
      const guint32 revision = item ? item->MenuRevision : 1u;
      g_dbus_method_invocation_return_value(Invocation,
                                            g_variant_new("(u@(ia{sv}av))", revision, MenuLayout(entries, parent)));
    } else if (method == "GetGroupProperties") {
      GVariantBuilder b;
      g_variant_builder_init(&b, G_VARIANT_TYPE("a(ia{sv})"));
      for (const TNotifyMenuEntry& e : entries)
        g_variant_builder_add(&b, "(i@a{sv})", e.Id, MenuProperties(e));
      g_dbus_method_invocation_return_value(Invocation, g_variant_new("(@a(ia{sv}))", g_variant_builder_end(&b)));
    } else if (method == "AboutToShow") {
      g_dbus_method_invocation_return_value(Invocation, g_variant_new("(b)", FALSE));
    } else {
      gint32 chosen = 0;
      const gchar* event = nullptr;
      g_variant_get_child(Parameters, 0, "i", &chosen);
      g_variant_get_child(Parameters, 1, "&s", &event);
      g_dbus_method_invocation_return_value(Invocation, nullptr);
      if (std::string(event) == "clicked" && menu.Choose)
        menu.Choose(chosen);
    }
  }

  static GVariant* OnMenuProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* Name,
                                  GError**, gpointer)
  {
    const std::string name = Name;
    if (name == "Version")
      return g_variant_new_uint32(3);
    if (name == "TextDirection")
      return g_variant_new_string("ltr");
    if (name == "Status")
      return g_variant_new_string("normal");
    return g_variant_new_strv(nullptr, 0);
  }

  static void OnNotified(GObject* Source, GAsyncResult* Result, gpointer Key)
  {
    const std::unique_ptr<TKey> key(static_cast<TKey*>(Key));
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(Source), Result, nullptr);
    if (!reply)
      return;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    if (TFreedesktopPresenter* self = Current())
      if (TItem* item = self->Find(key->first, key->second))
        item->Notification = id;
  }

  static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* Signal,
                       GVariant* Parameters, gpointer Self)
  {
    auto* self = static_cast<TFreedesktopPresenter*>(Self);
    guint32 id = 0;
    g_variant_get_child(Parameters, 0, "u", &id);
    for (auto& [key, item] : self->FItems) {
      if (!id || item.Notification != id)
        continue;
      item.Notification = 0;
      const bool clicked = std::string(Signal) == "ActionInvoked";
      EndNotifyBalloon(key.first, key.second, clicked ? NIN_BALLOONUSERCLICK : NIN_BALLOONTIMEOUT);
      return;
    }
  }

  GMainContext* FContext;
  GDBusConnection* FConnection;
  GDBusNodeInfo* FNode;
  std::map<TKey, TItem> FItems;
  unsigned FNextPath = 0;
  guint FClosedSignal = 0;
  guint FActionSignal = 0;
  UINT_PTR FPump = 0;
};

} // namespace

bool UseFreedesktopNotifyArea(const std::string& Address, std::string* Error)
{
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  GError* error = nullptr;
  GDBusConnection* connection =
    Address.empty()
      ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error)
      : g_dbus_connection_new_for_address_sync(
          Address.c_str(),
          GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                               G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
          nullptr, nullptr, &error);
  g_main_context_pop_thread_default(context);
  if (!connection) {
    if (Error)
      *Error = error ? error->message : "no D-Bus connection";
    g_clear_error(&error);
    g_main_context_unref(context);
    return false;
  }
  SetNotifyAreaPresenter(std::make_unique<TFreedesktopPresenter>(context, connection,
                                                                 g_dbus_node_info_new_for_xml(kItemXml, nullptr)));
  return true;
}

} // namespace Win
