#pragma once

// Whether the desktop's notification area is a StatusNotifier host (the panels that speak D-Bus) rather
// than an XEmbed tray. It is the question Qt asks as it makes a tray icon, asked the same way: a
// watcher on the session bus that reports a host. Under such a host the icon's menu is shown from the
// exported DBusMenu alone, and a click arrives as the item's Activate, never as a double click.
[[nodiscard]] bool StatusNotifierHostPresent();
