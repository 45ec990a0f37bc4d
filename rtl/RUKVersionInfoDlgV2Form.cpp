// The form description of the version dialog TRUKVersionInfoDialogV2: every component with its
// parent, bounds, tab order and properties. The texts of the page/scroll texts stand until
// OnCreateDialog loads them from the string table; those of page 1 are always replaced.
#include "RUKVersionInfoDlgV2.h"

namespace ruk {

namespace {

// The rich edit of a text page: borderless, the page's colour, read-only, the popup menu.
TProps InfoRichEditProps() {
    return {{"BorderStyle", "bsNone"},
            {"ParentColor", "True"},
            {"ReadOnly", "True"},
            {"PopupMenu", "InfoEditControlsPopupMenu1"},
            {"TabOrder", "1"}};
}

TProps PictureProps() { return {{"Scaled", "False"}, {"TabOrder", "0"}}; }

// A page/scroll text under a page's rich edit.
TProps ScrollTextProps(const char* caption, int tabOrder, const char* onClick, bool anchoredRight = false) {
    TProps p = {{"Caption", caption},
                {"TabOrder", std::to_string(tabOrder)},
                {"TabStop", "True"},
                {"WordWrap", "True"},
                {"OnClick", onClick}};
    if (anchoredRight) p.push_back({"Anchors", "[akTop,akRight]"});
    return p;
}

TFormDescription MakeDescription() {
    TFormDescription d;
    d.Name = "RUKVersionInfoDialogV2";
    d.ClassName = "TRUKVersionInfoDialogV2";
    d.Props = {
        {"Caption", "About"},
        {"ClientWidth", "520"},
        {"ClientHeight", "328"},
        {"BorderStyle", "bsDialog"},
        {"BorderIcons", "[biSystemMenu,biHelp]"},
        {"Color", "clBtnFace"},
        {"Font.Name", "Tahoma"},
        {"Font.Height", "-11"},
        {"OldCreateOrder", "False"},
        {"PixelsPerInch", "96"},
        {"Scaled", "False"},
        {"OnClose", "OnCloseDialog"},
        {"OnCreate", "OnCreateDialog"},
        {"OnPaint", "OnPaintDialog"},
        {"OnShow", "OnShowDialog"},
    };

    const TBounds none{};
    d.Components = {
        {"BannerBackgroundImage", "TImage", "", {0, 0, 520, 50},
         {{"Align", "alTop"}, {"Stretch", "True"}}},
        {"RUKBannerLogo1", "TImage", "", {382, 5, 128, 42}, {{"Anchors", "[akTop,akRight]"}, {"Transparent", "True"}}},
        {"BannerLine1", "TStaticText", "", {0, 50, 520, 4},
         {{"Align", "alTop"}, {"BorderStyle", "sbsSunken"}, {"TabOrder", "0"}, {"AutoSize", "False"}}},
        {"VerInfoPageControl1", "TRUKPageControl", "", {0, 54, 520, 233}, 
         {{"Align", "alTop"}, {"TabOrder", "1"}, {"ActivePage", "AppSplashTabSheet1"}}},

        {"AppSplashTabSheet1", "TTabSheet", "VerInfoPageControl1", none, {{"OnShow", "OnShowTabSheet"}}},
        {"AppSplashImage", "TRUKStaticImage", "AppSplashTabSheet1", {192, 12, 128, 128}, PictureProps()},
        {"AppSplashVerInfoText1", "TRUKStaticText", "AppSplashTabSheet1", {190, 152, 122, 17},
         {{"Alignment", "taCenter"}, {"WordWrap", "False"}, {"AutoSize", "True"}}},
        {"AppSplashCopyrightText1", "TRUKStaticText", "AppSplashTabSheet1", {106, 176, 301, 17},
         {{"Alignment", "taCenter"}, {"WordWrap", "False"}, {"AutoSize", "True"}}},

        {"AppMainModuleTabSheet1", "TTabSheet", "VerInfoPageControl1", none,
         {{"ImageIndex", "1"}, {"OnShow", "OnShowTabSheet"}}},
        {"AppMainModuleImage1", "TRUKStaticImage", "AppMainModuleTabSheet1", {12, 12, 128, 128}, PictureProps()},
        {"AppMainModuleVerRichEdit1", "TRUKRichEdit", "AppMainModuleTabSheet1", {152, 12, 348, 158},
         InfoRichEditProps()},
        {"AppMainModulePgUpText", "TRUKStaticText", "AppMainModuleTabSheet1", {152, 180, 63, 17},
         ScrollTextProps("<< Page Up", 2, "PageUp")},
        {"AppMainModuleScrollUpText", "TRUKStaticText", "AppMainModuleTabSheet1", {225, 180, 56, 17},
         ScrollTextProps("< Scroll Up", 3, "ScrollUp")},
        {"AppMainModuleScrollDownText", "TRUKStaticText", "AppMainModuleTabSheet1", {348, 180, 70, 17},
         ScrollTextProps("Scroll Down >", 4, "ScrollDown")},
        {"AppMainModulePgDownText", "TRUKStaticText", "AppMainModuleTabSheet1", {428, 180, 77, 17},
         ScrollTextProps("Page Down >>", 5, "PageDown")},

        {"RUKInfoTabSheet1", "TTabSheet", "VerInfoPageControl1", none,
         {{"ImageIndex", "2"}, {"OnShow", "OnShowTabSheet"}}},
        {"RUKAboutImage", "TRUKStaticImage", "RUKInfoTabSheet1", {12, 12, 128, 128}, PictureProps()},
        {"RUKInfoRichEdit1", "TRUKRichEdit", "RUKInfoTabSheet1", {152, 12, 348, 158}, InfoRichEditProps()},
        {"RUKInfoPgUpText", "TRUKStaticText", "RUKInfoTabSheet1", {152, 180, 63, 17},
         ScrollTextProps("<< Page Up", 2, "PageUp")},
        {"RUKInfoScrollUpText", "TRUKStaticText", "RUKInfoTabSheet1", {225, 180, 56, 17},
         ScrollTextProps("< Scroll Up", 3, "ScrollUp")},
        {"RUKInfoScrollDownText", "TRUKStaticText", "RUKInfoTabSheet1", {348, 180, 70, 17},
         ScrollTextProps("Scroll Down >", 4, "ScrollDown")},
        {"RUKInfoPgDownText", "TRUKStaticText", "RUKInfoTabSheet1", {428, 180, 77, 17},
         ScrollTextProps("Page Down >>", 5, "PageDown")},

        {"WinVerInfoTabSheet1", "TTabSheet", "VerInfoPageControl1", none,
         {{"ImageIndex", "3"}, {"OnShow", "OnShowTabSheet"}}},
        {"WindowsLogoImage", "TRUKStaticImage", "WinVerInfoTabSheet1", {12, 12, 128, 128}, PictureProps()},
        {"WindowsVerRichEdit1", "TRUKRichEdit", "WinVerInfoTabSheet1", {180, 12, 319, 158}, InfoRichEditProps()},
        {"WinVerPgUpStaticText", "TRUKStaticText", "WinVerInfoTabSheet1", {180, 180, 63, 17},
         ScrollTextProps("<< Page Up", 2, "PageUp")},
        {"WinVerPgDownStaticText", "TRUKStaticText", "WinVerInfoTabSheet1", {428, 180, 77, 17},
         ScrollTextProps("Page Down >>", 5, "PageDown", true)},
        {"WinVerScrollUpStaticText", "TRUKStaticText", "WinVerInfoTabSheet1", {253, 180, 56, 17},
         ScrollTextProps("< Scroll Up", 3, "ScrollUp")},
        {"WinVerScrollDownStaticText", "TRUKStaticText", "WinVerInfoTabSheet1", {348, 180, 70, 17},
         ScrollTextProps("Scroll Down >", 4, "ScrollDown", true)},

        {"ComprehensiveInfoTabSheet", "TTabSheet", "VerInfoPageControl1", none,
         {{"ImageIndex", "4"}, {"TabVisible", "False"}}},
        {"ComprehensiveInfoRichEdit", "TRUKRichEdit", "ComprehensiveInfoTabSheet", none,
         {{"Align", "alClient"},
          {"Font.Name", "Tahoma"},
          {"Font.Height", "-11"},
          {"ParentFont", "False"},
          {"ReadOnly", "True"},
          {"WantReturns", "False"}}},

        {"SaveInfoAsButton", "TButton", "", {200, 296, 120, 23},
         {{"Caption", "Save Info As..."}, {"TabOrder", "3"}, {"OnClick", "InfoRichEditSaveToFile"}}},
        {"CopyInfoButton", "TButton", "", {12, 296, 120, 23},
         {{"Caption", "Copy Info"}, {"TabOrder", "2"}, {"OnClick", "InfoRichEditCopyText"}}},
        {"OkButton", "TButton", "", {388, 296, 120, 23},
         {{"Caption", "OK"}, {"TabOrder", "4"}, {"OnClick", "Ok"}}},
        {"PrintDialog1", "TPrintDialog", "", none, {}},
        {"RUKSaveDialog1", "TRUKSaveDialog", "", none, {}},
    };
    d.ActionList = nullptr;
    d.Menus = {
        {"InfoEditControlsPopupMenu1", "TPopupMenu",
         {
             {0, "InfoRichEditPMSelectAll", "Select All", "", {{"ShortCut", "Ctrl+A"}, {"OnClick", "InfoRichEditSelectAll"}}},
             {0, "InfoRichEditPMDeselectAll", "Clear Selection", "", {{"OnClick", "InfoRichEditDeselectAll"}}},
             {0, "InfoRichEditPMSep1", "-", "", {}},
             {0, "InfoRichEditPMCopy", "Copy", "", {{"ShortCut", "Ctrl+C"}, {"OnClick", "InfoRichEditCopySel"}}},
             {0, "InfoRichEditPMPrint", "Print", "", {{"OnClick", "InfoRichEditPrintText"}}},
         }},
    };
    return d;
}

}  // namespace

const TFormDescription& RUKVersionInfoDialogV2Description() {
    static const TFormDescription d = MakeDescription();
    return d;
}

}  // namespace ruk
