// The tray icon on a freedesktop desktop: a private session bus that the
// test starts, and on it a small watcher standing in for the desktop's
// notification area and notification server, recording what arrives and
// answering as a desktop would.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.Tray.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Menus.hpp>
#include <Win.Shell.NotifyIcon.hpp>

#include <gio/gio.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr const char* kWatcherXml = R"xml(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  </interface>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
  </interface>
</node>)xml";

// What the watcher saw.
struct TWatched {
  std::string ItemSender;
  std::string ItemPath;
  std::string Summary;
  std::string Body;
  std::string AppIcon;
  std::vector<std::string> Actions;
  gint32 Timeout = 0;
  guint32 NextId = 0;
  std::vector<guint32> Closed;
  // LayoutUpdated as (revision, parent), in the order announced.
  std::vector<std::pair<guint32, gint32>> LayoutUpdates;
};

void LayoutUpdated(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* Parameters,
                   gpointer Data)
{
  guint32 revision = 0;
  gint32 parent = 0;
  g_variant_get(Parameters, "(ui)", &revision, &parent);
  static_cast<TWatched*>(Data)->LayoutUpdates.emplace_back(revision, parent);
}

void WatcherMethod(GDBusConnection*, const gchar* Sender, const gchar*, const gchar*, const gchar* Method,
                   GVariant* Parameters, GDBusMethodInvocation* Invocation, gpointer Data)
{
  auto* w = static_cast<TWatched*>(Data);
  const std::string method = Method;
  if (method == "RegisterStatusNotifierItem") {
    const gchar* path = nullptr;
    g_variant_get(Parameters, "(&s)", &path);
    w->ItemSender = Sender;
    w->ItemPath = path;
    g_dbus_method_invocation_return_value(Invocation, nullptr);
  } else if (method == "Notify") {
    const gchar *app = nullptr, *icon = nullptr, *summary = nullptr, *body = nullptr;
    guint32 replaces = 0;
    GVariantIter* actions = nullptr;
    GVariant* hints = nullptr;
    g_variant_get(Parameters, "(&su&s&s&sas@a{sv}i)", &app, &replaces, &icon, &summary, &body, &actions, &hints,
                  &w->Timeout);
    w->AppIcon = icon;
    w->Summary = summary;
    w->Body = body;
    w->Actions.clear();
    const gchar* action = nullptr;
    while (g_variant_iter_next(actions, "&s", &action))
      w->Actions.push_back(action);
    g_variant_iter_free(actions);
    g_variant_unref(hints);
    g_dbus_method_invocation_return_value(Invocation, g_variant_new("(u)", ++w->NextId));
  } else {
    guint32 id = 0;
    g_variant_get(Parameters, "(u)", &id);
    w->Closed.push_back(id);
    g_dbus_method_invocation_return_value(Invocation, nullptr);
  }
}

class TrayDBusTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    gchar* daemon = g_find_program_in_path("dbus-daemon");
    const bool installed = daemon != nullptr;
    g_free(daemon);
    if (!installed)
      GTEST_SKIP() << "dbus-daemon is not installed (scripts/install-deps installs it)";
    StartBus();
    StartWatcher();
  }
  void TearDown() override
  {
    delete Tray;
    QxDesktopFixture::TearDown(); // closes the tray's connection
    if (FWatcher) {
      g_dbus_connection_close_sync(FWatcher, nullptr, nullptr);
      g_object_unref(FWatcher);
    }
    if (FContext)
      g_main_context_unref(FContext);
    if (FBus > 0) {
      kill(FBus, SIGTERM);
      waitpid(FBus, nullptr, 0);
    }
  }

  void StartBus()
  {
    const gchar* argv[] = {"dbus-daemon", "--session", "--nofork", "--print-address", nullptr};
    gint out = -1;
    GError* error = nullptr;
    ASSERT_TRUE(g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), nullptr,
                                         GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                                                     G_SPAWN_STDERR_TO_DEV_NULL),
                                         nullptr,
                                         nullptr, &FBus, nullptr, &out, nullptr, &error))
      << (error ? error->message : "");
    std::string line;
    char c = 0;
    while (read(out, &c, 1) == 1 && c != '\n')
      line += c;
    close(out);
    ASSERT_FALSE(line.empty());
    Address = line;
  }

  void StartWatcher()
  {
    FContext = g_main_context_new();
    g_main_context_push_thread_default(FContext);
    FWatcher = g_dbus_connection_new_for_address_sync(
      Address.c_str(),
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
    ASSERT_NE(FWatcher, nullptr);
    for (const char* name : {"org.kde.StatusNotifierWatcher", "org.freedesktop.Notifications"})
      Printed(g_dbus_connection_call_sync(FWatcher, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                          "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", name, 0u),
                                          nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kWatcherXml, nullptr);
    static const GDBusInterfaceVTable vtable = {WatcherMethod, nullptr, nullptr, {}};
    g_dbus_connection_register_object(FWatcher, "/StatusNotifierWatcher", node->interfaces[0], &vtable, &Watched,
                                      nullptr, nullptr);
    g_dbus_connection_register_object(FWatcher, "/org/freedesktop/Notifications", node->interfaces[1], &vtable,
                                      &Watched, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    g_dbus_connection_signal_subscribe(FWatcher, nullptr, "com.canonical.dbusmenu", "LayoutUpdated", nullptr, nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, LayoutUpdated, &Watched, nullptr);
    g_main_context_pop_thread_default(FContext);
  }

  // Runs both sides (the tray's through its timer on the clock) until Done
  // holds; false when it does not within a few seconds.
  bool WaitFor(const std::function<bool()>& Done)
  {
    for (int round = 0; round < 2000; ++round) {
      if (Done())
        return true;
      AdvanceBy(20);
      while (g_main_context_iteration(FContext, FALSE)) {
      }
      g_usleep(2000);
    }
    return Done();
  }

  // A call from the watcher, answered while both sides run.
  GVariant* Call(const std::string& Interface, const std::string& Method, GVariant* Parameters,
                 const std::string& Under = "")
  {
    const std::string path = Watched.ItemPath + Under;
    struct TReply {
      GVariant* Value = nullptr;
      bool Done = false;
    } reply;
    g_main_context_push_thread_default(FContext);
    g_dbus_connection_call(
      FWatcher, Watched.ItemSender.c_str(), path.c_str(), Interface.c_str(), Method.c_str(), Parameters,
      nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* r = static_cast<TReply*>(data);
        r->Value = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
        r->Done = true;
      },
      &reply);
    g_main_context_pop_thread_default(FContext);
    EXPECT_TRUE(WaitFor([&] { return reply.Done; }));
    return reply.Value;
  }

  // The reply as GLib prints it (empty without one), released.
  static std::string Printed(GVariant* Reply)
  {
    if (!Reply)
      return std::string();
    gchar* text = g_variant_print(Reply, TRUE);
    const std::string printed = text;
    g_free(text);
    g_variant_unref(Reply);
    return printed;
  }

  GDBusConnection* Watcher() const { return FWatcher; }

  // The tray, shown with an icon on the bus, once the watcher has heard of it.
  void ShowTray(const std::function<void()>& Before = nullptr)
  {
    std::string error;
    ASSERT_TRUE(Win::UseFreedesktopNotifyArea(Address, &error)) << error;
    Tray = new TQxTrayIcon(nullptr);
    if (Before)
      Before();
    Tray->SetIcon(QxTest::SolidIcon(clRed).get());
    Tray->SetVisible(true);
    ASSERT_TRUE(WaitFor([&] { return !Watched.ItemPath.empty(); }));
  }

  std::string Address;
  TWatched Watched;
  TQxTrayIcon* Tray = nullptr;

private:
  GPid FBus = 0;
  GMainContext* FContext = nullptr;
  GDBusConnection* FWatcher = nullptr;
};

TEST_F(TrayDBusTest, IconTooltipBalloonAndActivationTravelTheBus)
{
  int clicks = 0, balloonClicks = 0;
  ShowTray([&] {
    Tray->OnClick = [&](TObject*) { ++clicks; };
    Tray->OnBalloonClick = [&](TObject*) { ++balloonClicks; };
    Tray->SetHint("Backups");
  });
  if (HasFatalFailure())
    return;
  EXPECT_EQ(Watched.ItemPath.rfind("/StatusNotifierItem/", 0), 0u);

  // What the desktop reads: the tooltip as title and tooltip, the icon as
  // 16 x 16 ARGB in network order (opaque red), the menu's object.
  const std::string all =
    Printed(Call("org.freedesktop.DBus.Properties", "GetAll", g_variant_new("(s)", "org.kde.StatusNotifierItem")));
  QxTest::ExpectHas(all, {"'Title': <'Backups'>", "'ToolTip': <('', @a(iiay) [], 'Backups', '')>",
                          "'IconPixmap': <[(16, 16, [byte 0xff, 0xff, 0x00, 0x00, 0xff, 0xff,",
                          ("'Menu': <objectpath '" + Watched.ItemPath + "/Menu'>").c_str()});

  // Activation from the desktop is a click.
  Printed(Call("org.kde.StatusNotifierItem", "Activate", g_variant_new("(ii)", 0, 0)));
  EXPECT_TRUE(WaitFor([&] { RunUntilIdle(); return clicks == 1; }));

  // The popup menu, as the desktop reads it and picks from it.
  TPopupMenu menu(nullptr);
  int opened = 0;
  for (const char* caption : {"&Open", "-", "Quit"}) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(caption);
    menu.Items()->Add(item);
  }
  menu.Items()->Items(0)->OnClick = [&](TObject*) { ++opened; };
  menu.Items()->Items(2)->SetEnabled(false);
  Tray->SetPopupMenu(&menu);
  const gchar* allProperties[] = {nullptr};
  const std::string layout =
    Printed(Call("com.canonical.dbusmenu", "GetLayout", g_variant_new("(ii^as)", 0, -1, allProperties), "/Menu"));
  QxTest::ExpectHas(layout, {"(1, {'label': <'Open'>, 'enabled': <true>, 'visible': <true>}, @av [])",
                             "(2, {'type': <'separator'>", "(3, {'label': <'Quit'>, 'enabled': <false>"});
  Printed(Call("com.canonical.dbusmenu", "Event",
                       g_variant_new("(isvu)", 1, "clicked", g_variant_new_int32(0), 0u), "/Menu"));
  EXPECT_TRUE(WaitFor([&] { return opened == 1; }));
  Tray->SetPopupMenu(nullptr);

  Tray->SetBalloonTitle("Backup finished");
  Tray->SetBalloonHint("Nothing was skipped.");
  Tray->SetBalloonFlags(bfInfo);
  Tray->ShowBalloonHint();
  ASSERT_TRUE(WaitFor([&] { return !Watched.Summary.empty(); }));
  EXPECT_EQ(Watched.Summary, "Backup finished");
  EXPECT_EQ(Watched.Body, "Nothing was skipped.");
  EXPECT_EQ(Watched.AppIcon, "dialog-information");
  EXPECT_EQ(Watched.Timeout, 10000);
  EXPECT_EQ(Watched.Actions, (std::vector<std::string>{"default", "Open"}));
  // The user clicks the notification.
  AdvanceBy(20); // the tray learns the notification's id
  g_dbus_connection_emit_signal(Watcher(), nullptr, "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                                "ActionInvoked", g_variant_new("(us)", Watched.NextId, "default"), nullptr);
  EXPECT_TRUE(WaitFor([&] { RunUntilIdle(); return balloonClicks == 1; }));
  EXPECT_FALSE(Win::NotifyIcons().front().BalloonVisible);
}

TEST_F(TrayDBusTest, EveryChangeOfTheMenuIsAnnouncedWithANewRevision)
{
  ShowTray();
  if (HasFatalFailure())
    return;
  const gchar* allProperties[] = {nullptr};
  // The revision GetLayout answers with, and the layout.
  auto layout = [&] {
    const std::string printed =
      Printed(Call("com.canonical.dbusmenu", "GetLayout", g_variant_new("(ii^as)", 0, -1, allProperties), "/Menu"));
    return std::make_pair(guint32(std::stoul(printed.substr(printed.find("uint32 ") + 7))), printed);
  };
  const guint32 first = layout().first;

  TPopupMenu menu(nullptr);
  auto* open = new TMenuItem(&menu);
  open->SetCaption("&Open");
  menu.Items()->Add(open);
  Tray->SetPopupMenu(&menu);
  ASSERT_TRUE(WaitFor([&] { return Watched.LayoutUpdates.size() == 1; }));
  const auto [given, parent] = Watched.LayoutUpdates.back();
  EXPECT_GT(given, first);
  EXPECT_EQ(parent, 0);
  EXPECT_EQ(layout().first, given);

  // A caption, a state, an entry added: each is announced once, newer each time.
  open->SetCaption("Open &log");
  ASSERT_TRUE(WaitFor([&] { return Watched.LayoutUpdates.size() == 2; }));
  open->SetChecked(true);
  ASSERT_TRUE(WaitFor([&] { return Watched.LayoutUpdates.size() == 3; }));
  auto* quit = new TMenuItem(&menu);
  quit->SetCaption("Quit");
  menu.Items()->Add(quit);
  ASSERT_TRUE(WaitFor([&] { return Watched.LayoutUpdates.size() == 4; }));
  for (size_t i = 1; i < Watched.LayoutUpdates.size(); ++i)
    EXPECT_GT(Watched.LayoutUpdates[i].first, Watched.LayoutUpdates[i - 1].first);
  const auto [revision, text] = layout();
  EXPECT_EQ(revision, Watched.LayoutUpdates.back().first);
  QxTest::ExpectHas(text, {"'label': <'Open log'>", "'toggle-state': <1>", "'label': <'Quit'>"});

  // Nothing changes, nothing is announced; taking the menu away is a change.
  int rounds = 0;
  WaitFor([&] { return Watched.LayoutUpdates.size() > 4 || ++rounds > 25; });
  EXPECT_EQ(Watched.LayoutUpdates.size(), 4u);
  Tray->SetPopupMenu(nullptr);
  ASSERT_TRUE(WaitFor([&] { return Watched.LayoutUpdates.size() == 5; }));
  EXPECT_EQ(layout().second.find("'label'"), std::string::npos);
}

} // namespace
