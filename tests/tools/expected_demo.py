"""What each of the 107 hooks shows with the library, under examples/settings.plist: every
enable key on, and the example's own colours, texts and numbers. Written from the behaviour of
each replacement, not from the simulator's output."""

EXAMPLE_COLOURS = {
    "3DTouch1a": "#7b1fa2", "3DTouch2a": "#1565c0", "iconcolor1a": "#ef6c00",
    "look1a": "#2e7d32", "Numberclor4": "#c2185b", "NumberPadButton3": "#00838f",
    "call2": "#6d4c41", "barxx": "#00c853", "colors7a": "#d81b60", "colors5a": "#5e35b1",
    "colors4a": "#fdd835", "colors3a": "#263238", "colors2a": "#ff7043", "colors1a": "#26a69a",
    "ORVIK2": "#8e24aa", "ORVIK3": "#f4511e", "YourCustomColour1m": "#3949ab",
    "YourCustomColour2m": "#43a047",
}
C = EXAMPLE_COLOURS

# Section title -> {hook: what the host or the caller got with the library}.
WITH_LIBRARY = {
    "Safari": {
        "TabBarStyle itemTitleColor": "caller got #040100",
        "TabBarStyle backgroundColor": "caller got #db0b19",
        "Application _maximumTabCount": "caller got 9",
        "BrowserController _shouldShowTabBar": "caller got YES",
        "BrowserController _shouldUseTabBar": "caller got YES",
        "BrowserController _shouldShowBookmarksBar": "caller got YES",
        "TabOverview _tabsPerRow": "caller got 3",
        "BrowserController _shouldUseTabOverview": "caller got YES",
        "WKContentView _applicationWillResignActive:": "host not called",
        "WKContentView _applicationDidEnterBackground": "host not called",
    },
    "Every app (interface framework, measured in Safari)": {
        "_UIBatteryView setShowsPercentage:": "host got YES",
        "_UIBatteryView internalSizeCategory": "caller got 2",
        "_UIBatteryView setInternalSizeCategory:": "host got 2",
        "UIPredictionViewController isVisibleForInputDelegate:inputViews:":
            "host not called; caller got YES",
        "_UIVisualEffectContentView setBackgroundColor:": "host got " + C["3DTouch1a"],
        "_UIContextMenuActionView _imageTintColor": "caller got " + C["3DTouch2a"],
        "_UILegibilityView usesSecondaryColor": "caller got YES",
        "UITabBar unselectedItemTintColor": "caller got " + C["iconcolor1a"],
        "UITextInputTraits keyboardAppearance": "caller got 1",
        "UITableConstants_IOS defaultBackgroundColorForTableViewStyle:":
            "host not called; caller got nil",
        "UITableConstants_IOS defaultHeaderFooterBackgroundColorForView:inTableView:":
            "host not called; caller got nil",
        "UITableViewCell _usesRoundedGroups": "caller got YES",
        "UIApplication _applicationDidEnterBackground": "host not called",
        # The shared models have no secondaryColor: at all.
        "_UILegibilitySettings secondaryColor:": "no such method",
        "_UILegibilitySettings setPrimaryColor:": "host got " + C["look1a"],
        "_UIBarBackgroundLayoutLegacy configureEffectForStyle:backgroundTintColor:forceOpaque:":
            "host not called",
        "_UIStatusBarStyleAttributes textColor": "caller got " + C["barxx"],
        "_UIBatteryView fillColor": "caller got " + C["barxx"],
        "_UIStatusBar setForegroundColor:": "host got " + C["barxx"],
        "_UIStatusBarWifiItem _fillColorForUpdate:": "host not called; caller got " + C["barxx"],
        "_UIStatusBarWifiSignalView setActiveColor:": "host got " + C["barxx"],
        "UILabel setTextColor:": "host got " + C["colors7a"],
        "UITableViewCell setSeparatorColor:": "host got " + C["colors4a"],
        "UITableView setBackgroundColor:": "host got " + C["colors3a"],
        "UITableViewCell setBackgroundColor:": "host got " + C["colors3a"],
        # Added to a subclass of UILabel, it reaches UILabel's replacement, whose colour wins.
        "UISearchBarTextFieldLabel setTextColor:": "host got " + C["colors7a"],
        "UISearchBarTextField setBackgroundColor:": "host got " + C["colors1a"],
        "_UILegibilitySettings setSecondaryColor:": "host got " + C["ORVIK2"],
        "UISwitchModernVisualElement _effectiveTintColor": "caller got " + C["YourCustomColour1m"],
        "UISwitchModernVisualElement _effectiveOnTintColor":
            "caller got " + C["YourCustomColour2m"],
        # features2 16 is cyan.
        "UIKeyboardImpl layoutSubviews": "host called; also setBackgroundColor: #00ffff",
    },
    "Cydia": {
        "CyteViewController pageColor": "caller got nil",
        "Cydia applicationDidEnterBackground:": "host not called",
        "Cydia applicationWillResignActive:": "host not called",
    },
    "SpringBoard": {
        "CSCoverSheetFlyInSettings setIconsFlyInTension:": "host got 0",
        "SBFLockScreenDateView setAlignmentPercent:": "host got 1",
        "SBDashBoardQuickActionsViewController hasFlashlight": "caller got NO",
        "CSQuickActionsViewController hasFlashlight": "caller got NO",
        "SBDashBoardQuickActionsViewController hasCamera": "caller got NO",
        "CSQuickActionsViewController hasCamera": "caller got NO",
        "SpringBoard lockScreenCameraSupported": "caller got NO",
        "SBMainDisplayPolicyAggregator _allowsCapabilityLockScreenCameraSupportedWithExplanation:":
            "host not called; caller got NO",
        "SBMainDisplayPolicyAggregator _allowsCapabilityLockScreenCameraWithExplanation:":
            "host not called; caller got NO",
        "SBIconListPageControl _setIndicatorImage:toEnabled:index:": "host not called",
        "SBMutableIconLabelImageParameters setTextColor:": "host got " + C["ORVIK3"],
        "SBDockView setBackgroundAlpha:": "host got 0",
        "SBFloatingDockPlatterView setBackgroundView:": "host got nil",
        "MTLumaDodgePillSettings setHeight:": "host got 3.5",
        "MTLumaDodgePillSettings setMinWidth:": "host got 2.25",
        "SBStatusBarStateAggregator _displayStringForSIMStatus:":
            'host got "Vorla Mobile"; caller got "No SIM"',
        "SBAppSwitcherSettings setSwitcherStyle:": "host got 2",
        "SBAppSwitcherSettings setSwitcherCardShadowOpacity:": "host got 0.4",
        "SBAppSwitcherSettings setSwitcherCardShadowOffset:": "host got 6",
        "SBAppSwitcherSettings setSwitcherCardShadowRadius:": "host got 12",
        "SBAppSwitcherSettings setGridSwitcherPageScale:": "host got 0.8",
        "CSTeachableMomentsContainerViewController _updateText:": 'host got "Hello from Vorla"',
    },
    "Settings": {
        "PSListController setTextColor:": "host got " + C["colors5a"],
        "PSListController _isRegularWidth": "caller got YES",
        "PSListController setEdgeToEdgeCells:": "host not called",
        "PSGAboutDataSource _productVersionString": 'caller got "13.5.1"',
        "PSGAboutDataSource _modelNameString": 'caller got "IPhone 11 Pro Max"',
        "PSListController setTitle:": 'host got "Vorla Settings"',
    },
    "Phone": {
        "PHHandsetDialerNumberPadButton setColor:": "host got " + C["Numberclor4"],
        "CNContactStyle setContactHeaderBackgroundColor:": "host got " + C["NumberPadButton3"],
        "PHBottomBarButton setBackgroundColor:": "host got " + C["call2"],
        "CallDBManager createDataStore": "host not called",
        "CNContactStoreSnapshot setFilter:": "host not called",
        "CNContactStoreSnapshot setDataSource:": "host not called",
        # features 3 hides favourites and voicemail.
        "PhoneTabBarController showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:":
            "host got NO, YES, YES, YES, NO; caller got YES",
    },
    "Messages": {
        "CKConversationListController setTitle:": 'host got "Vorla Chats"',
        "CKConversationListController setConversationCellHeight:": "host got 120; caller got YES",
    },
    "Camera": {
        "CAMZoomControl _setMaximumZoomFactor:": "host got 20; caller got YES",
        "CAMZoomDial setMaximumZoomFactor:": "host got 20; caller got YES",
        "CAMCaptureCapabilities isNeuralEngineSupported": "caller got YES",
        "CAMCaptureCapabilities isCTMSupported": "caller got YES",
        "CAMCaptureCapabilities deviceSupportsCTM": "caller got YES",
        "CAMCaptureCapabilities isSmartHDRSupported": "caller got YES",
        "CAMCaptureCapabilities isLowLightSupported": "caller got YES",
        "CAMCaptureCapabilities isAutoLowLightVideoSupported": "caller got YES",
        "CAMCaptureCapabilities isPipelinedStillImageProcessingSupported": "caller got YES",
        "CAMCaptureCapabilities featureDevelopmentEmulateSuperWide": "caller got YES",
    },
    "Photos": {
        "PUBrowsingVideoPlayer setMuted:": "host got NO; caller got YES",
        "PUBrowsingVideoPlayer isMuted": "caller got NO",
        "+PUBrowsingViewModel autoplayVideoMuted": "caller got NO",
        "+PUBrowsingViewModel setAutoplayVideoMuted:": "host got NO; caller got YES",
        "PUBrowsingViewModel isAutoplayVideoMuted": "caller got NO",
        "PUDeletePhotosActionController setShouldSkipDeleteConfirmation:":
            "host got YES; caller got YES",
        "PUTabbedLibrarySettings setEnableSearchTab:": "host got NO; caller got YES",
        "PUTabbedLibrarySettings setEnableForYouTab:": "host got NO; caller got YES",
        "PXPhotoKitCollectionsDataSourceManager _containsAnyAssets:":
            "host not called; caller got NO",
        "PXPhotoKitCollectionsDataSourceManager containsAnyAssets:":
            "host not called; caller got YES",
        "PUPhotoEditProtoSettings setEnablePerfDebugHUD:": "host got YES; caller got YES",
        "PUPhotoEditProtoSettings setEnableReframeDebugHUD:": "host got NO; caller got YES",
        "PUPhotoEditProtoSettings setPerspectiveViewDebugCropEnabled:":
            "host got YES; caller got YES",
    },
    "Feed": {"IGFeedItem viewerCount": "caller got 4321"},
    "Social": {
        "TFNTwitterUser numberOfFollowers": "caller got 98765",
        "T1TFNUIConfiguration isNestedActionButtonEnabled": "caller got YES",
    },
}

NOT_INSTALLED = {"_UILegibilitySettings secondaryColor:": "method absent in this app"}
