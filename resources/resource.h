// Resource ids of the program: dialog templates, controls, skins, icon and
// the program's own strings. Language texts are not here: they live in the
// language library (ui/text_ids.h).
#pragma once

// Icon, frame resource and the program's own strings.
#define IDR_MAINFRAME                   128
#define IDP_OLE_INIT_FAILED             100
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE               0xE000
#endif

// Dialog templates.
#define IDD_BASE_DIALOG                 312     // root dialog (frameless, skinned)
#define IDD_MSG_BOX                     319     // popup message box
#define IDD_CHILD_NOTICE                398     // notice bar along a page's bottom

// Controls.
#define IDC_BUTTON_OK                   1100
#define IDC_BUTTON_CANCEL               1101
#define IDC_BUTTON_EXIT                 1498
#define IDC_STATIC_TITLE                1500
#define IDC_STATIC_DATE                 1502
#define IDC_BUTTON_LOGOUT               1505
#define IDC_BUTTON_MINI                 1506
#define IDC_BUTTON_CONFIG               1528
#define IDC_STATIC_LINK                 1551
#define IDC_BUTTON_GUIDE                1552
#define IDC_BUTTON_MORE                 1555
#define IDC_STATIC_MESSAGE              1556    // message box
#define IDC_BUTTON_ITEM                 1556    // notice bar

// Skins (resource type "PNG"); sizes and frames in resources/skins/skins.tsv.
#define IDB_ROOT_BACKGROUND             320
#define IDB_POPUP_BACKGROUND            324
#define IDB_CHECK_ICON                  325
#define IDB_BUTTON_EXIT                 326
#define IDB_COMBO_ARROW                 329
#define IDB_BUTTON_GUIDE                330
#define IDB_BUTTON_MINI                 339
#define IDB_BUTTON_MORE                 342
#define IDB_LINK_ICON                   344
#define IDB_SCROLL_TRACK                345
#define IDB_SCROLL_DOWN                 346
#define IDB_SCROLL_THUMB                347
#define IDB_SCROLL_UP                   348
#define IDB_BUTTON_CONFIG_ON            349
#define IDB_BUTTON_CONFIG               350
#define IDB_WAITING_FIRST               360     // twelve frames: 360 .. 371
#define IDB_WAITING_LAST                371
#define IDB_BUTTON_POPUP                398
#define IDB_USER_ICON                   425
#define IDB_SEPARATOR                   427
#define IDB_NOTICE_MARK                 428
#define IDB_COMBO_FRAME                 430
#define IDB_GLOBE                       466
#define IDB_LOGO_NONE                   524
#define IDB_LOGO_TS                     525
#define IDB_LOGO_DR                     526
#define IDB_LOGO_LV                     527
#define IDB_BUTTON_LOGOUT               528
#define IDB_LIST_MARK                   1689
#define IDB_LOGO_NONE_AR                1723
#define IDB_LOGO_TS_AR                  1724
#define IDB_LOGO_DR_AR                  1725
#define IDB_LOGO_LV_AR                  1726
#define IDB_LOGO_LV_NA                  1749
#define IDB_LOGO_LV_NA_AR               1750

// Page templates: the account, settings, vehicle and update pages, the guide
// popups, the hidden mode and the self-update popup.
#define IDD_PAGE_LOGIN                  313
#define IDD_PAGE_CONFIG                 317
#define IDD_LIVE_UPDATE                 318
#define IDD_CONF_MSG                    411
#define IDD_CAR_CHANGE                  413
#define IDD_CAR_REG                     414
#define IDD_CAR_UPDATE                  417
#define IDD_CAR_FINISH                  419
#define IDD_INFO_POPUP                  448
#define IDD_JOIN_MSG                    486
#define IDD_HIDDEN                      500
#define IDD_HIDDEN_PWD                  506
#define IDD_PAGE_MESSAGE_FOR_CONFIG     508
#define IDD_INFO_IMAGE_POPUP            539

// The shell's message pages: the pooled message page and the exit page.
#define IDD_PAGE_MESSAGE                396
#define IDD_PAGE_MESSAGE_EXIT           507
#define IDC_STATIC_ALERT                1546
#define IDC_STATIC_TITLE1               1547
#define IDC_STATIC_TITLE2               1548
#define IDC_STATIC_TEXT1                1549
#define IDC_STATIC_TEXT2                1550
#define IDC_STATIC_TEXT3                1551
#define IDC_STATIC_TEXT4                1552
#define IDC_STATIC_TEXT5                1553
#define IDC_STATIC_TEXT6                1554
#define IDC_STATIC_TEXT7                1556
#define IDC_STATIC_SUB_TEXT1            1575
#define IDC_STATIC_SUB_TEXT2            1574
#define IDC_CHECK_BACKUP                1573
#define IDC_BUTTON_LINK                 1576
#define IDC_RADIO_CONSENT1_YES          1612
#define IDC_RADIO_CONSENT1_NO           1613
#define IDC_RADIO_CONSENT2_YES          1614
#define IDC_RADIO_CONSENT2_NO           1615
#define IDC_EDIT_FOLDER_FRAME           1619
#define IDC_EDIT_FOLDER_PATH            1508
#define IDC_BUTTON_CHANGE_FOLDER        1537
#define IDB_BUTTON_CANCEL_STRIP         468
#define IDB_BUTTON_OK_STRIP             469
#define IDB_BUTTON_OK_STRIP_DR          470
#define IDB_BUTTON_OK_STRIP_LV          471
#define IDB_EXIT_IMAGE                  1630
#define IDB_BUTTON_OK_STRIP_LV_NA       1736
#define IDR_LICENSE_RTF                 408     // resource type "ETC"

// The about box.
#define IDD_ABOUTBOX                    100

// The login page (template 313).
#define IDC_STATIC_LOADING1             1499
#define IDC_STATIC_LOADING2             1503
#define IDC_STATIC_IDPWD_WRONG          1504
#define IDC_BUTTON_LOGIN                1505
#define IDC_BUTTON_LOGIN_NM             1506
#define IDC_EDIT_ID                     1509
#define IDC_EDIT_PWD                    1510
#define IDC_BUTTON_LINK_FIND_ACC_PWD    1511
#define IDC_CHECK_IDSAVE                1514
#define IDC_BUTTON_LINK_USERJOIN        1515
#define IDC_CHECK_IDAUTO                1516
#define IDC_BUTTON_DR                   1540
#define IDC_BUTTON_LV                   1541
#define IDC_BRAND_IMG                   1578
#define IDC_BUTTON_TS                   1579
#define IDC_BUTTON_NN                   1580
#define IDC_BUTTON_NN_DR                1581
#define IDC_BUTTON_NN_LV                1582
#define IDC_BUTTON_NN_TS                1583
#define IDC_EDIT_PWD_FRAME              1602
#define IDC_EDIT_ID_FRAME               1618
#define IDC_STATIC_TITLE_LINE2          1621
#define IDC_STATIC_DEALER               1622
#define IDC_STATIC_CHECK_ID_SAVE        1626
#define IDC_STATIC_CHECK_ID_AUTO        1627
#define IDB_LOGIN_DR                    394
#define IDB_LOGIN_LV                    395
#define IDB_BRAND_PICTURE_DR            410
#define IDB_BRAND_PICTURE_LV            411
#define IDB_LOGIN_NN_TS                 453
#define IDB_LOGIN_NN_DR                 454
#define IDB_LOGIN_NN_LV                 455
#define IDB_LOGIN_TS                    456
#define IDB_LOGIN_NN                    457
#define IDB_BRAND_PICTURE_TS            458
#define IDB_LOGIN_BUTTON_TS             459
#define IDB_LOGIN_BUTTON_DR             460
#define IDB_LOGIN_BUTTON_LV             461
#define IDB_LOGIN_EMBLEM                462
#define IDB_LOGIN_NN_BACK               463
#define IDB_LOGIN_SPARE                 464
#define IDB_LOGIN_DEALER_MARK           474
#define IDB_LOGIN_BUTTON_LV_NA          1733
#define IDB_BRAND_PICTURE_LV_NA         1744
// The update page (template 417).
#define IDC_PROGRESS_UPDATE             1557
#define IDC_STATIC_STATUS               1558
#define IDC_STATIC_PERCENT              1559
#define IDC_STATIC_DOWNLOADED           1560
#define IDC_STATIC_TRANSFER_RATE        1561
#define IDC_STATIC_RESUMEUPDATE         1562
#define IDC_STATIC_FILE_TIME            1563
#define IDC_STATIC_MSG2                 1564
#define IDC_STATIC_FILE_COPY            1565
#define IDC_STATIC_CAR_IMAGE            1587
#define IDC_STATIC_CAR_TITLE_2          1589
#define IDC_STATIC_CAR_TITLE_2_1        1590
#define IDC_STATIC_CAR_TITLE_1          1591
#define IDC_STATIC_CAR_TITLE_3          1592
#define IDC_STATIC_CAR_SAVE_PATH        1593
#define IDC_BUTTON_HOLD                 1594
#define IDC_STATIC_MSG1                 1595
#define IDC_BUTTON_UPDATE_CANCEL        1596
#define IDC_BUTTON_UPDATE_NEXT          1597
#define IDC_EDIT_SAVE_PATH              1599
#define IDB_UPDATE_BACKGROUND           435
#define IDB_UPDATE_HOLD_TS              439
#define IDB_UPDATE_HOLD_DR              441
#define IDB_UPDATE_HOLD_LV              442
#define IDB_UPDATE_SAVE_ICON            467
#define IDB_UPDATE_BULLET_RTL           1727
#define IDB_UPDATE_HOLD_LV_NA           1737
// The self-update popup's message line and bar.
#define IDC_STATIC_UPGRAGE_TITLE        1571
#define IDC_PROGRESS_LIVE_UPDATE        1572

// The web guide's page panel and its "do not show again" box.
#define IDC_WEB_BROWSER                 1596
#define IDC_CHECK_SHOW30                1630

// The image guide's "do not show again" box and its label; the hidden
// bulk-download page's model line and its two lists.
#define IDC_STATIC_MODEL                1624
#define IDC_CHECK_GUIDE                 1633
#define IDC_STATIC_GUIDE_LABEL          1640
#define IDC_LIST_GROUP                  1717
#define IDC_LIST_MODEL                  1718
// The vehicle search page (template 413).
#define IDC_SEARCH_CAR                  1101
#define IDC_SEARCH_SW                   1102
#define IDC_COMBO_CAR_HIDDEN            1103
#define IDC_STATIC_CHANGE_VER_TITLE     1588
#define IDC_STATIC_DEVICE_LIST_TITLE    1589
#define IDC_SEARCH_MODEL                1590
#define IDC_STATIC_CAR_LIST_TITLE       1591
#define IDC_STATIC_CHANG_MSG            1592
#define IDC_STATIC_CAR_SELECT_1         1594
#define IDC_STATIC_CAR_SELECT_2         1595
#define IDC_STATIC_CAR_SELECT_3         1596
#define IDC_EDIT_CAR_SEARCH             1597
#define IDC_BTN_RIGHT_MSG               1598
#define IDC_COMBO_CAR_SEARCH_FRAME      1623
#define IDC_STATIC_CHANGE_SEL_TITLE     1728
#define IDB_CAR_SEARCH_ICON             474
#define IDB_CAR_SEARCH_STATE_TS         475
#define IDB_CAR_SEARCH_STATE_DR         476
#define IDB_CAR_SEARCH_STATE_LV         477
#define IDB_CAR_SEARCH_STATE_LV_NA      1739
// Settings page (template 317).
#define IDC_STATIC_LANGUAGE             1523
#define IDC_STATIC_CORP                 1524
#define IDC_STATIC_FOLDER               1525
#define IDC_STATIC_AUTO                 1526
#define IDC_STATIC_BRAND                1527
#define IDC_STATIC_RADIO_YES            1528
#define IDC_COMBO_LANGUAGE              1531
#define IDC_COMBO_REGION                1532
#define IDC_STATIC_FOLDER_COMMENT       1533
#define IDC_COMBO_BRAND                 1536
#define IDC_BUTTON_LICENSE_VIEW         1538
#define IDC_BUTTON_AGREEMENT_VIEW       1539
#define IDC_BUTTON_REMOVE_FILE          1540
#define IDC_STATIC_AUTO_COMMENT         1541
#define IDC_STATIC_RADIO_NO             1544
#define IDC_RADIO_AUTO_YES              1597
#define IDC_RADIO_AUTO_NO               1598
#define IDC_STATIC_REMOVE               1600
#define IDC_STATIC_REMOVE_TEXT          1603
#define IDC_EDIT_SEPARATOR              1614
#define IDC_STATIC_BTID                 1629
#define IDB_BUTTON_DOCUMENT             472
#define IDB_SEPARATOR_LINE              533

// Terms page (template 411) and its form (template 482).
#define IDD_CONF_CHILD                  482
#define IDC_STATIC_TITLE3               1501
#define IDC_STATIC_TITLE4               1502
#define IDC_STATIC_TITLE5               1503
#define IDC_STATIC_FILE_EMPTY1          1553
#define IDC_STATIC_FILE_EMPTY3          1555
#define IDC_STATIC_FILE_EMPTY4          1556
#define IDC_STATIC_BTN_NAME1            1549
#define IDC_STATIC_BTN_NAME3            1551
#define IDC_STATIC_BTN_NAME4            1552
#define IDC_FORM_PLACEHOLDER            1599
#define IDC_BOX_DOCUMENT1               1600
#define IDC_BOX_DOCUMENT3               1602
#define IDC_BOX_DOCUMENT4               1603
#define IDC_BOX_ICON1                   1605
#define IDC_BOX_ICON3                   1607
#define IDC_BOX_ICON4                   1608
#define IDC_BOX_ICON1_HIGH              1609
#define IDC_BOX_ICON3_HIGH              1611
#define IDC_BOX_ICON4_HIGH              1616

// Sign-up notice page (template 486).
#define IDC_BUTTON_JOIN                 1610
#define IDC_CHECK_JOIN_SHOW30           1611
// Registration page (414); the car picture is IDC_STATIC_CAR_IMAGE.
#define IDC_STATIC_CAR_TITLE            1586
#define IDC_STATIC_NAVI_IMAGE           1588
#define IDC_COMBO_DISK_LIST             1589
#define IDC_STATIC_PATH_TITLE           1590
#define IDC_BUTTON_CAR_CHANG            1591
#define IDC_BUTTON_CAR_UPDATE           1592
#define IDC_STATIC_SAVE_TITLE           1593
#define IDC_STATIC_CAR_REG_MSG          1594

// Finish page (419).
#define IDC_STATIC_FINISH_TITLE         1592
#define IDC_BUTTON_FINISH               1593
#define IDC_STATIC_FINISH_MSG           1594
#define IDC_BUTTON_USB                  1595
#define IDC_BUTTON_INSTALL              1596
#define IDC_BUTTON_CAR_SELECT           1597
#define IDC_BUTTON_FOLDER               1598
#define IDC_BUTTON_SDCARD               1599
#define IDC_CHECK_REMOVE_USB            1615
#define IDC_STATIC_DOWNLOAD             1616
#define IDC_EDIT_DOWNLOAD_PATH          1617
#define IDC_CHECK_REMOVE_USB_COMMENT    1618
