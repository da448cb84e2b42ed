// What each app's picture holds: its visible parts, each read from the hook that answers it.
// A fallback is drawn only where the answer is nil or is not a colour.
"use strict";

(() => {
  const WHITE = "#ffffff";
  const INK = "#1d1d1f";

  function statusBar(p, r, carrier) {
    const text = r.colour("_UIStatusBarStyleAttributes textColor", INK);
    p.text("status-text", "_UIStatusBarStyleAttributes textColor", 22, 24, "9:41", text,
           {"font-size": 11, "font-weight": 600});
    if (carrier !== undefined) {
      p.text("carrier", "SBStatusBarStateAggregator _displayStringForSIMStatus:", 56, 24,
             carrier, text, {"font-size": 9}, [54, 10, 78, 20]);
    }
    p.rect("wifi", "_UIStatusBarWifiSignalView setActiveColor:", 136, 16, 10, 8,
           r.colour("_UIStatusBarWifiSignalView setActiveColor:", INK), {rx: 2});
    p.rect("battery", "_UIBatteryView fillColor", 152, 15, 26, 11, null,
           {rx: 3, class: "outline"});
    p.rect("battery-fill", "_UIBatteryView fillColor", 154, 17, 20, 7,
           r.colour("_UIBatteryView fillColor", INK), {rx: 2});
  }

  function tabBar(p, r, hook, names, shown, y) {
    const tint = r.colour("UITabBar unselectedItemTintColor", "#8e8e93");
    const visible = names.filter((_, i) => shown[i] !== false);
    p.rect("tab-bar", hook, 10, y, 180, 30, null, {class: "bar"});
    visible.forEach((name, i) => {
      p.text("tab", hook, 10 + (180 / visible.length) * (i + 0.5), y + 19, name, tint,
             {"font-size": 8, "text-anchor": "middle"});
    });
  }

  function table(p, r, y, rows) {
    const cell = r.colour("UITableViewCell setBackgroundColor:", WHITE);
    const separator = r.colour("UITableViewCell setSeparatorColor:", "#c6c6c8");
    const label = r.colour("UILabel setTextColor:", INK);
    p.rect("table", "UITableView setBackgroundColor:", 10, y, 180, rows.length * 24 + 8,
           r.colour("UITableView setBackgroundColor:", "#f2f2f7"));
    rows.forEach((text, i) => {
      const top = y + 4 + i * 24;
      p.rect("cell", "UITableViewCell setBackgroundColor:", 14, top, 172, 24, cell);
      p.text("cell-label", "UILabel setTextColor:", 22, top + 16, text, label,
             {"font-size": 10}, [14, top, 172, 24]);
      if (i < rows.length - 1) {
        p.line("separator", "UITableViewCell setSeparatorColor:", 22, top + 24, 186, top + 24,
               separator);
      }
    });
  }

  const scenes = {};

  scenes.every = (p, r) => {
    statusBar(p, r);
    p.rect("search-field", "UISearchBarTextField setBackgroundColor:", 14, 40, 172, 22,
           r.colour("UISearchBarTextField setBackgroundColor:", "#e5e5ea"), {rx: 7});
    p.text("search-label", "UISearchBarTextFieldLabel setTextColor:", 24, 55, "Search",
           r.colour("UISearchBarTextFieldLabel setTextColor:", "#8e8e93"), {"font-size": 10});
    table(p, r, 70, ["Wi-Fi", "Bluetooth", "Cellular"]);
    p.rect("switch", "UISwitchModernVisualElement _effectiveOnTintColor", 150, 131, 30, 16,
           r.colour("UISwitchModernVisualElement _effectiveOnTintColor", "#34c759"), {rx: 8});
    const dark = r.number("UITextInputTraits keyboardAppearance", 0) === 1;
    const keyboard = r.also("UIKeyboardImpl layoutSubviews", "setBackgroundColor:") ||
                     {hex: dark ? "#2c2c2e" : "#d1d3d9", alpha: 1};
    p.rect("keyboard", "UIKeyboardImpl layoutSubviews", 10, 196, 180, 110, keyboard);
    for (let row = 0; row < 3; row++) {
      for (let key = 0; key < 8; key++) {
        p.rect("key", "UITextInputTraits keyboardAppearance", 15 + key * 22, 204 + row * 32, 18,
               26, {hex: dark ? "#636366" : WHITE, alpha: 1}, {rx: 4});
      }
    }
    tabBar(p, r, "UITabBar unselectedItemTintColor", ["Home", "Search", "More"], [], 316);
  };

  scenes.springboard = (p, r) => {
    statusBar(p, r, r.text("SBStatusBarStateAggregator _displayStringForSIMStatus:", "No SIM"));
    const align = Math.min(1, Math.max(0, r.number("SBFLockScreenDateView setAlignmentPercent:",
                                                   0.5)));
    p.text("clock", "SBFLockScreenDateView setAlignmentPercent:", 20 + 160 * align, 80, "9:41",
           null, {"font-size": 34, "text-anchor": ["start", "middle", "end"][Math.round(align * 2)],
                  class: "ink"});
    p.text("teachable", "CSTeachableMomentsContainerViewController _updateText:", 100, 110,
           r.text("CSTeachableMomentsContainerViewController _updateText:", ""), null,
           {"font-size": 9, "text-anchor": "middle", class: "ink"}, [10, 98, 180, 16]);
    const label = r.colour("SBMutableIconLabelImageParameters setTextColor:", WHITE);
    for (let i = 0; i < 8; i++) {
      const x = 22 + (i % 4) * 42;
      const y = 140 + Math.floor(i / 4) * 60;
      p.rect(i === 0 ? "folder" : "icon", null, x, y, 32, 32, null, {rx: 8, class: "icon"});
      p.text("icon-label", "SBMutableIconLabelImageParameters setTextColor:", x + 16, y + 44,
             i === 0 ? "Folder" : "App", label, {"font-size": 8, "text-anchor": "middle"});
    }
    const alpha = r.number("SBDockView setBackgroundAlpha:", 1);
    p.rect("dock", "SBDockView setBackgroundAlpha:", 14, 296, 172, 50,
           {hex: "#ffffff", alpha: Math.min(1, Math.max(0, alpha))}, {rx: 16, class: "dock"});
    const pillWidth = Math.min(160, 60 * r.number("MTLumaDodgePillSettings setMinWidth:", 1));
    const pillHeight = Math.min(10, 2 * r.number("MTLumaDodgePillSettings setHeight:", 1));
    p.rect("pill", "MTLumaDodgePillSettings setHeight:", 100 - pillWidth / 2, 362, pillWidth,
           pillHeight, null, {rx: pillHeight / 2, class: "ink-fill"});
  };

  scenes.safari = (p, r) => {
    statusBar(p, r);
    const shown = r.text("BrowserController _shouldShowTabBar", "NO") === "YES";
    const count = r.number("Application _maximumTabCount", 0);
    if (shown) {
      p.rect("safari-tab-bar", "TabBarStyle backgroundColor", 10, 36, 180, 26,
             r.colour("TabBarStyle backgroundColor", "#f7f7f7"));
      const tabs = Math.max(1, Math.min(4, count));
      for (let i = 0; i < tabs; i++) {
        p.text("safari-tab", "TabBarStyle itemTitleColor", 14 + i * 44, 53, "Tab " + (i + 1),
               r.colour("TabBarStyle itemTitleColor", INK), {"font-size": 9});
      }
    }
    p.text("tab-count", "Application _maximumTabCount", 100, 90, "at most " + count + " tabs",
           null, {"font-size": 10, "text-anchor": "middle", class: "ink"});
    if (r.text("BrowserController _shouldShowBookmarksBar", "NO") === "YES") {
      p.rect("bookmarks-bar", "BrowserController _shouldShowBookmarksBar", 10, 64, 180, 14,
             null, {class: "bar"});
    }
    const perRow = Math.max(1, Math.min(4, r.number("TabOverview _tabsPerRow", 2)));
    for (let i = 0; i < perRow * 2; i++) {
      const w = 170 / perRow - 6;
      p.rect("overview-tab", "TabOverview _tabsPerRow", 15 + (i % perRow) * (w + 6),
             110 + Math.floor(i / perRow) * 90, w, 80, null, {rx: 6, class: "icon"});
    }
  };

  scenes.preferences = (p, r) => {
    statusBar(p, r);
    p.text("title", "PSListController setTitle:", 100, 52, r.text("PSListController setTitle:", ""),
           r.colour("PSListController setTextColor:", INK),
           {"font-size": 14, "font-weight": 600, "text-anchor": "middle"}, [10, 36, 180, 22]);
    table(p, r, 70, ["Version " + r.text("PSGAboutDataSource _productVersionString", ""),
                     "Model " + r.text("PSGAboutDataSource _modelNameString", "")]);
  };

  scenes.phone = (p, r) => {
    statusBar(p, r);
    p.rect("contact-header", "CNContactStyle setContactHeaderBackgroundColor:", 10, 34, 180, 30,
           r.colour("CNContactStyle setContactHeaderBackgroundColor:", "#f2f2f7"));
    const pad = r.colour("PHHandsetDialerNumberPadButton setColor:", "#e5e5ea");
    for (let i = 0; i < 12; i++) {
      p.rect("pad-button", "PHHandsetDialerNumberPadButton setColor:", 42 + (i % 3) * 42,
             74 + Math.floor(i / 3) * 44, 34, 34, pad, {rx: 17});
    }
    p.rect("call-button", "PHBottomBarButton setBackgroundColor:", 84, 256, 34, 34,
           r.colour("PHBottomBarButton setBackgroundColor:", "#34c759"), {rx: 17});
    const hook = "PhoneTabBarController showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:";
    tabBar(p, r, hook, ["Favorites", "Recents", "Contacts", "Keypad", "Voicemail"], r.flags(hook),
           316);
  };

  scenes.messages = (p, r) => {
    statusBar(p, r);
    p.text("title", "CKConversationListController setTitle:", 100, 52,
           r.text("CKConversationListController setTitle:", ""), null,
           {"font-size": 14, "font-weight": 600, "text-anchor": "middle", class: "ink"},
           [10, 36, 180, 22]);
    const height = Math.max(12, Math.min(120, r.number(
      "CKConversationListController setConversationCellHeight:", 60) / 2));
    for (let y = 64, i = 0; y + height < 350 && i < 8; y += height, i++) {
      p.rect("conversation", "CKConversationListController setConversationCellHeight:", 10, y,
             180, height, null, {class: "cell"});
    }
  };

  scenes.camera = (p, r) => {
    statusBar(p, r);
    p.text("zoom", "CAMZoomDial setMaximumZoomFactor:", 100, 300,
           "up to " + r.number("CAMZoomDial setMaximumZoomFactor:", 1) + "×", null,
           {"font-size": 14, "text-anchor": "middle", class: "ink"});
  };

  scenes.photos = (p, r) => {
    statusBar(p, r);
    tabBar(p, r, "PUTabbedLibrarySettings setEnableForYouTab:", ["Library", "For You", "Albums",
           "Search"], [true, r.flags("PUTabbedLibrarySettings setEnableForYouTab:")[0], true,
           r.flags("PUTabbedLibrarySettings setEnableSearchTab:")[0]], 316);
  };

  scenes.feed = (p, r) => {
    statusBar(p, r);
    p.text("count", "IGFeedItem viewerCount", 100, 120,
           r.text("IGFeedItem viewerCount", "") + " viewers", null,
           {"font-size": 14, "text-anchor": "middle", class: "ink"});
  };

  scenes.social = (p, r) => {
    statusBar(p, r);
    p.text("count", "TFNTwitterUser numberOfFollowers", 100, 120,
           r.text("TFNTwitterUser numberOfFollowers", "") + " followers", null,
           {"font-size": 14, "text-anchor": "middle", class: "ink"});
  };

  scenes.cydia = (p, r) => {
    statusBar(p, r);
    p.rect("page", "CyteViewController pageColor", 10, 34, 180, 270,
           r.colour("CyteViewController pageColor", null), {class: "page"});
    table(p, r, 60, ["Sources", "Packages"]);
  };

  window.vorlaDrawingScenes = scenes;
})();
