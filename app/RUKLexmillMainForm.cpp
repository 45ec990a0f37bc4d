// The form description of the main window: every component, action, menu, popup menu and
// tool button of SDIAppForm, with its captions, shortcuts, hints, sizes and properties.
// Actions whose handlers are not built yet carry no handler and stay disabled.
#include "RUKLexmillMain.h"

#include <deque>

namespace ruk {

namespace {

// Images of ImageList1 (painted by RUKLexmillImages.cpp in this order).
enum : int {
    imgSelect, imgNew, imgSave, imgSaveAs, imgSaveAll, imgCut, imgCopy, imgPaste, imgDelete, imgUndo, imgRedo,
    imgRun, imgPause, imgResume, imgStop, imgHome, imgBack, imgForward, imgOpenURL, imgExit, imgAbout, imgNone = -1
};

// Also the first state of the standard edit actions, which enable themselves by the focused
// edit control as soon as the application is idle.
const TProps kDisabled = {{"Enabled", "False"}};

const char kOpenFilter[] =
    "HTML files, short extension  (*.htm)|*.htm|HTML files, long extension (*.html)|*.html|All HTML files (*.htm and "
    "*.html)|*.htm;*.html|XML files (*.xml)|*.xml|Text files (*.txt)|*.txt|All Files (*.*)|*.*";
const char kSaveFilter[] =
    "HTML files, short extension  (*.htm)|*.htm|HTML files, long extension (*.html)|*.html|All HTML files (*.htm and "
    "*.html)|*.htm;*.html|XML files (*.xml)|*.xml|Lexmill Keyword files (*.rlk)|*.rlk|Text files (*.txt)|*.txt|All "
    "Files (*.*)|*.*";
const char kExportFilter[] =
    "Compiled Help Index file (*.hhk)|*.hhk|HTML files, short extension  (*.htm)|*.htm|HTML files, long extension "
    "(*.html)|*.html|All HTML files (*.htm and *.html)|*.htm;*.html|XML files (*.xml)|*.xml|Text files "
    "(*.txt)|*.txt|Comma separated text file (*.csv)|*.csv|All Files (*.*)|*.*";

// The edit part of a page's popup menu; level 0 items of a TPopupMenu.
std::vector<TMenuItemRow> EditPopupItems(const std::string& prefix) {
    static std::deque<std::string> names;  // the rows keep pointers to these names; a deque never moves them
    auto name = [&](const char* command) {
        names.push_back(prefix + command);
        return names.back().c_str();
    };
    return {
        {0, name("Undo"), "", "EditUndo1", {}},
        {0, name("Redo"), "", "EditRedo1", {}},
        {0, "", "-", "", {}},
        {0, name("Cut"), "", "EditCut1", {}},
        {0, name("Copy"), "", "EditCopy1", {}},
        {0, name("Paste"), "", "EditPaste1", {}},
        {0, name("Delete"), "", "EditDelete1", {}},
        {0, "", "-", "", {}},
        {0, name("SelectAll"), "", "EditSelectAll", {}},
        {0, name("ClearSelection"), "", "EditClearSelection", {}},
        {0, "", "-", "", {}},
    };
}

std::vector<TMenuItemRow> WithReadOnly(std::vector<TMenuItemRow> items, const char* name) {
    items.push_back({0, name, "", "EditReadOnly1", {}});
    return items;
}

std::vector<TMenuItemRow> Hidden(std::vector<TMenuItemRow> items, size_t count) {
    for (size_t i = 0; i < count && i < items.size(); ++i) items[i].Props.push_back({"Visible", "False"});
    return items;
}

TFormDescription MakeDescription() {
    TFormDescription d;
    d.Name = "SDIAppForm";
    d.ClassName = "TSDIAppForm";
    d.Props = {
        {"Left", "8"},
        {"Top", "8"},
        {"Caption", "RUK HTML/XML Lexmill and Keyword Extractor"},
        {"ClientWidth", "632"},
        {"ClientHeight", "390"},
        {"Color", "clBtnFace"},
        {"Font.Name", "Tahoma"},
        {"Font.Height", "13"},
        {"Menu", "MainMenu1"},
        {"OldCreateOrder", "False"},
        {"PixelsPerInch", "96"},
        {"OnCreate", "OnCreate"},
        {"OnShow", "OnShow"},
        {"OnDestroy", "OnDestroy"},
        // OnHelp = ShowHelpTopic: bound by the window's constructor (not a notification event).
    };

    const TBounds none{};
    d.Components = {
        {"ImageList1", "TImageList", "", none, {{"Width", "16"}, {"Height", "16"}}},
        {"ActionList1", "TActionList", "", none, {{"Images", "ImageList1"}}},
        {"OpenDialog", "TOpenDialog", "", none, {{"Filter", kOpenFilter}, {"FilterIndex", "3"}}},
        {"SaveDialog", "TSaveDialog", "", none,
         {{"Filter", kSaveFilter},
          {"Options", "[ofOverwritePrompt,ofHideReadOnly,ofNoTestFileCreate,ofEnableSizing]"}}},
        {"SaveExportFileDialog", "TSaveDialog", "", none, {{"Filter", kExportFilter}}},

        {"CoolBar1", "TCoolBar", "", {0, 0, 632, 87}, {{"Align", "alTop"}, {"AutoSize", "True"}}},
        {"ToolBar1", "TToolBar", "CoolBar1", {0, 0, 620, 27},
         {{"Images", "ImageList1"}, {"ButtonWidth", "83"}, {"ShowHint", "True"}, {"Flat", "True"}, {"List", "True"}}},
        {"OpenlButton1", "TToolButton", "ToolBar1", none, {{"Action", "FileSelSourceFiles1"}}},
        {"FileNewlButton", "TToolButton", "ToolBar1", none, {{"Action", "FileNew1"}}},
        {"FileSavelButton", "TToolButton", "ToolBar1", none, {{"Action", "FileSave1"}}},
        {"FileSaveAsButton", "TToolButton", "ToolBar1", none, {{"Action", "FileSaveAs1"}}},
        {"SaveAllButton1", "TToolButton", "ToolBar1", none, {{"Action", "FileSaveAll"}}},
        {"ToolButton1", "TToolButton", "ToolBar1", none, {{"Style", "tbsSeparator"}}},
        {"EditCutlButton", "TToolButton", "ToolBar1", none, {{"Action", "EditCut1"}}},
        {"EditCopyButton", "TToolButton", "ToolBar1", none, {{"Action", "EditCopy1"}}},
        {"EditPastelButton", "TToolButton", "ToolBar1", none, {{"Action", "EditPaste1"}}},
        {"ToolButton2", "TToolButton", "ToolBar1", none, {{"Style", "tbsSeparator"}}},
        {"EditDeleteButton", "TToolButton", "ToolBar1", none, {{"Action", "EditDelete1"}}},
        {"ToolButton3", "TToolButton", "ToolBar1", none, {{"Style", "tbsSeparator"}}},
        {"EditUndoButton", "TToolButton", "ToolBar1", none, {{"Action", "EditUndo1"}}},
        {"EditRedoButton", "TToolButton", "ToolBar1", none, {{"Action", "EditRedo1"}}},
        {"ToolButton4", "TToolButton", "ToolBar1", none, {{"Style", "tbsSeparator"}}},
        {"AssignmentRunButton", "TToolButton", "ToolBar1", none, {{"Action", "AssignmentRun1"}}},
        {"AssignmentSuspendlButton", "TToolButton", "ToolBar1", none, {{"Action", "AssignmentSuspend"}}},
        {"AssignmentResumelButton", "TToolButton", "ToolBar1", none, {{"Action", "AssignmentResume1"}}},
        {"AssignmentCancellButton", "TToolButton", "ToolBar1", none, {{"Action", "AssignmentCancel"}}},
        {"ToolButton5", "TToolButton", "ToolBar1", none, {{"Style", "tbsSeparator"}}},
        {"BrowseHomelButton1", "TToolButton", "ToolBar1", none, {{"Action", "BrowseHome1"}}},
        {"BrowseBackButton1", "TToolButton", "ToolBar1", none, {{"Action", "BrowseBack1"}}},
        {"BrowseForwardlButton1", "TToolButton", "ToolBar1", none, {{"Action", "BrowseForward1"}}},
        {"BrowserOpenURLButton1", "TToolButton", "ToolBar1", none,
         {{"Action", "BrowseOpenURL1"}, {"ShowCaption", "True"}}},

        {"SourceFilesPanel1", "TPanel", "CoolBar1", {0, 0, 620, 25},
         {{"Caption", "Source File(s)"}, {"BevelOuter", "bvNone"}, {"Alignment", "taLeftJustify"}}},
        {"SourceFilesComboBoxEx", "TComboBoxEx", "SourceFilesPanel1", {84, 1, 450, 22},
         {{"Anchors", "[akLeft,akTop,akRight]"},
          {"Style", "csExDropDown"},
          {"AutoCompleteOptions", "[acoAutoSuggest,acoAutoAppend]"},
          {"Text", "SourceFilesComboBoxEx"}}},
        {"SelSourceFilesButton1", "TButton", "SourceFilesPanel1", {540, 0, 75, 24},
         {{"Anchors", "[akTop,akRight]"}, {"Action", "FileSelSourceFiles2"}, {"Caption", "Select"}}},
        {"KeywordEditPanel1", "TPanel", "CoolBar1", {0, 0, 620, 25},
         {{"Caption", "Keyword:"}, {"BevelOuter", "bvNone"}, {"Alignment", "taLeftJustify"}}},
        {"KeywordEditComboBox1", "TComboBoxEx", "KeywordEditPanel1", {84, 1, 450, 22},
         {{"Anchors", "[akLeft,akTop,akRight]"},
          {"Style", "csExDropDown"},
          {"Text", "KeywordEditComboBox1"},
          {"OnChange", "KeywordEditComboBox1Change"}}},
        {"ApplyKeywordButton1", "TButton", "KeywordEditPanel1", {540, 0, 75, 24},
         {{"Anchors", "[akTop,akRight]"}, {"Action", "EditApplyKeywordChanges"}}},

        {"StatusBar", "TStatusBar", "", {0, 371, 632, 19},
         {{"Align", "alBottom"}, {"SimplePanel", "True"}, {"AutoHint", "True"}}},
        {"PageControl1", "TPageControl", "", {0, 87, 632, 284},
         {{"Align", "alClient"}, {"Style", "tsFlatButtons"}, {"ActivePage", "SourceFileTabSheet1"}}},

        {"SourceFileTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "HTML Source File"}}},
        {"HTMLSourceFileRichEdit1", "TRichEdit", "SourceFileTabSheet1", {0, 0, 624, 253},
         {{"Align", "alClient"},
          {"Font.Color", "clNavy"},
          {"Font.Name", "Tahoma"},
          {"Font.Height", "13"},
          {"ReadOnly", "True"},
          {"ScrollBars", "ssBoth"},
          {"WordWrap", "False"},
          {"HideSelection", "False"},
          {"PopupMenu", "SourceFilePopupMenu"},
          {"Lines", "HTMLSourceFileRichEdit1"}}},

        {"BrowserTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Browser"}}},
        // Its navigate-complete event, WebBrowser1NavigateComplete2, is bound by the window.
        {"WebBrowser1", "TWebBrowser", "BrowserTabSheet1", {0, 0, 624, 253}, {{"Align", "alClient"}}},

        {"StrippedContentsTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Stripped Contents"}}},
        {"StrippedContentsRichEdit1", "TRichEdit", "StrippedContentsTabSheet1", {0, 0, 624, 253},
         {{"Align", "alClient"},
          {"ScrollBars", "ssBoth"},
          {"WordWrap", "False"},
          {"HideSelection", "False"},
          {"PopupMenu", "StrippedContentsPopupMenu"},
          {"OnSelectionChange", "OnRichEditSelectionChange"},
          {"Lines", "StrippedContentsRichEdit1"}}},

        {"DistinctWordsListTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Distinct Words List"}}},
        {"DistinctWordsLisRichEdit1", "TRichEdit", "DistinctWordsListTabSheet1", {0, 0, 187, 253},
         {{"Align", "alLeft"},
          {"ScrollBars", "ssVertical"},
          {"HideSelection", "False"},
          {"PopupMenu", "DistinctWordsPopupMenu"},
          {"Lines", "DistinctWordsLisRichEdit1"}}},
        {"Splitter1", "TSplitter", "DistinctWordsListTabSheet1", {187, 0, 3, 253}, {{"Align", "alLeft"}}},
        {"DistinctWordsListView1", "TListView", "DistinctWordsListTabSheet1", {190, 0, 434, 253},
         {{"Align", "alClient"},
          {"ViewStyle", "vsReport"},
          {"MultiSelect", "True"},
          {"Column", "Word,200"},
          {"Column", "Occurrences,100"},
          {"PopupMenu", "DistinctWordsPopupMenu"}}},

        {"KeywordsTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Keywords"}}},
        {"KeywordsTreeView1", "TTreeView", "KeywordsTabSheet1", {0, 0, 186, 253},
         {{"Align", "alLeft"},
          {"MultiSelect", "True"},
          {"SortType", "stText"},
          {"Items", "Sample Keyword #1\n  Alt. URLs\n  Link Targets\n  Target Doc. Titles"}}},
        {"Splitter2", "TSplitter", "KeywordsTabSheet1", {186, 0, 3, 253}, {{"Align", "alLeft"}}},
        {"KeywordsListView1", "TListView", "KeywordsTabSheet1", {189, 0, 435, 253},
         {{"Align", "alClient"},
          {"ViewStyle", "vsReport"},
          {"MultiSelect", "True"},
          {"Column", "Keyword,120"},
          {"Column", "Link Targets,120"},
          {"Column", "Target Doc. Titles,120"},
          {"Column", "Alt.  URLs,100"},
          {"Column", "Num. Link Targets,100"},
          {"PopupMenu", "KeywordsPopupMenu1"}}},

        {"AutoFindAndAddTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Auto Find and Add"}}},
        {"AutoFindListView1", "TListView", "AutoFindAndAddTabSheet1", {0, 0, 624, 253},
         {{"Align", "alClient"},
          {"ViewStyle", "vsReport"},
          {"Checkboxes", "True"},
          {"MultiSelect", "True"},
          {"Column", "Found Keyword,420"},
          {"PopupMenu", "AutoFindPopupMenu"}}},

        {"SuppressWordsTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Suppress(ed) Words"}}},
        {"SupressedWordsRichEdit1", "TRichEdit", "SuppressWordsTabSheet1", {0, 0, 624, 253},
         {{"Align", "alClient"},
          {"ScrollBars", "ssVertical"},
          {"PopupMenu", "SuppressedWordsPopupMenu"},
          {"Lines", "SupressedWordsRichEdit1"}}},

        {"LogTabSheet1", "TTabSheet", "PageControl1", none, {{"Caption", "Log"}}},
        {"LogRichEdit1", "TRichEdit", "LogTabSheet1", {0, 0, 624, 253},
         {{"Align", "alClient"},
          {"ScrollBars", "ssBoth"},
          {"WordWrap", "False"},
          {"PopupMenu", "LogPopupMenu"},
          {"Lines", "LogRichEdit1"}}},
    };

    d.ActionList = "ActionList1";
    // name, class, category, caption, shortcut, hint, image, handler, further properties
    d.Actions = {
        {"FileSelSourceFiles1", "TAction", "File", "Select Source File(s) ...", "Ctrl+B",
         "Select|Select one or more files to process", imgSelect, "FileSelSourceFiles1Execute", {}},
        {"FileSelSourceFiles2", "TAction", "File", "Select ...", "", "", imgNone, "FileSelSourceFiles2Execute", {}},
        {"FileNew1", "TAction", "File", "&New", "Ctrl+N", "New|Create a new file", imgNew, "FileNew1Exec", {}},
        {"FileOpen1", "TAction", "File", "&Open ...", "Ctrl+O", "Open|Open a file", imgSelect, "FileOpen1Exec", {}},
        {"FileOpenKeywordList1", "TAction", "File", "FileOpenKeywordList1", "", "", imgNone,
         "FileOpenKeywordList1Exec", {}},
        {"FileOpenSuppressWordList", "TAction", "File", "FileOpenSuppressWordList", "", "", imgNone,
         "FileOpenSuppressWordListExec", {}},
        {"FileOpenStrippedContentss", "TAction", "File", "FileOpenStrippedContentss", "", "", imgNone,
         "FileOpenStrippedContentssExec", {}},
        {"FileSave1", "TAction", "File", "&Save", "Ctrl+S", "Save|Save current file", imgSave, "FileSaveExec", {}},
        {"FileSaveSourceFile", "TAction", "File", "Save Source File", "", "", imgNone, "FileSaveSourceFileExec", {}},
        {"FileSaveBrowserFile", "TAction", "File", "Save Browser File", "", "", imgNone, "FileSaveBrowserFileExec", {}},
        {"FileSaveStrippedContents", "TAction", "File", "Save Stripped Contents", "", "", imgNone,
         "FileSaveStrippedContentsExec", {}},
        {"FileSaveDistinctWordsList", "TAction", "File", "Save Distinct Words List", "", "", imgNone,
         "FileSaveDistinctWordsListExec", {}},
        {"FileSaveKeywordList", "TAction", "File", "Save Keywords", "", "", imgNone, "FileSaveKeywordListExec", {}},
        {"FileSaveSuppressWordList", "TAction", "File", "Save Suppress Words List", "", "", imgNone,
         "FileSaveSuppressWordListExec", {}},
        {"FileSaveLog", "TAction", "File", "Save Log", "", "", imgNone, "FileSaveLogExec", {}},
        {"FileSaveAs1", "TAction", "File", "Save &As...", "", "Save As|Save current file with different name",
         imgSaveAs, "FileSaveAs1Exec", {}},
        {"FileSaveSourceFileAs", "TAction", "File", "Save Source File As ...", "", "", imgNone,
         "FileSaveSourceFileAsExec", {}},
        {"FileSaveBrowserFileAs", "TAction", "File", "Save Browser File As ...", "", "", imgNone,
         "FileSaveBrowserFileAsExec", {}},
        {"FileSvaeStrippedContentsAs", "TAction", "File", "Save Stripped Contents As ...", "", "", imgNone,
         "FileSaveStrippedContentsAsExec", {}},
        {"FileSaveDistinctWordsListAs", "TAction", "File", "Save Distinct Words List As ...", "", "", imgNone,
         "FileSaveDistinctWordsListAsExec", {}},
        {"FileSaveKeywordListAs", "TAction", "File", "Save Keywords As ...", "", "", imgNone,
         "FileSaveKeywordListAsExec", {}},
        {"FileSaveSuppressWordListAs", "TAction", "File", "Save Suppress Word List As ...", "Ctrl+E", "", imgNone,
         "FileSaveSuppressWordListAsExec", {}},
        {"FileSaveLogAs", "TAction", "File", "Save Log As ...", "", "", imgNone, "FileSaveLogAsExec", {}},
        {"FileSaveAll", "TAction", "File", "Save All", "Ctrl+Shift+S", "Save all|Save the contents of all tab sheets",
         imgSaveAll, "FileSaveAllExec", {}},
        {"FileExportDistinctWordsAsCsv", "TAction", "File", "Comma Separated Values", "", "", imgNone,
         "FileExportDistinctWordsAsCsvExec", {}},
        {"FileExportAsKeywordsMetaTag", "TAction", "File", "Keywords Meta Tag", "Ctrl+Alt+M", "", imgNone,
         "FileExportAsKeywordsMetaTagExec", {}},
        {"FileExportAsChmKeywordsFile", "TAction", "File", "Compiled Help Index file", "", "", imgNone,
         "FileExportAsChmKeywordsFileExec", {}},
        {"FileClose", "TAction", "File", "Close", "Ctrl+F4", "", imgNone, "FileCloseExec", {}},
        {"FileCloseAll", "TAction", "File", "Close All", "Ctrl+Shift+F4", "", imgNone, "FileCloseAllExec", {}},
        {"FileExit1", "TAction", "File", "E&xit", "", "Exit|Exit application", imgExit, "FileExit1Exec", {}},

        {"EditUndo1", "TEditUndo", "Edit", "&Undo", "Ctrl+Z", "Undo|Reverts the last action", imgUndo, "", kDisabled},
        {"EditRedo1", "TAction", "Edit", "Redo", "Ctrl+Y", "Redo|Restores the last action", imgRedo, "", kDisabled},
        {"EditCut1", "TEditCut", "Edit", "Cu&t", "Ctrl+X", "Cut|Cuts the selection and puts it on the Clipboard",
         imgCut, "", kDisabled},
        {"EditCopy1", "TEditCopy", "Edit", "&Copy", "Ctrl+C", "Copy|Copies the selection and puts it on the Clipboard",
         imgCopy, "", kDisabled},
        {"EditPaste1", "TEditPaste", "Edit", "&Paste", "Ctrl+V", "Paste|Inserts Clipboard contents", imgPaste, "", kDisabled},
        {"EditDelete1", "TAction", "Edit", "Delete", "",
         "|Deletes/removes the selected text in the control that has the input focus", imgDelete,
         "EditDelete1Exec", {}},
        {"EditSelectAll", "TAction", "Edit", "Select All", "Ctrl+A", "|Selects the entire text in the edit controll",
         imgNone, "EditSelectAllExec", {}},
        {"EditClearSelection", "TAction", "Edit", "Clear Selection", "Ctrl+Alt+A",
         "|De-selects any selectsed text in the edit control", imgNone, "EditClearSelectionExec", {}},
        {"EditReadOnly1", "TAction", "Edit", "Read Only", "Ctrl+Alt+R", "Write protects the current editor's contents",
         imgNone, "EditReadOnly1Exec", {}},
        {"EditAddAsKeyword", "TAction", "Edit", "Add Selection as Keyword", "Ctrl+K",
         "|Adds the selected text to the list of keywords", imgNone, "EditAddAsKeywordExec", {}},
        {"EditAddAsKeywords", "TAction", "Edit", "Add Words to Keywords", "Ctrl+W", "", imgNone, "EditAddAsKeywordsExec", {}},
        {"EditAddAsKeywordsFromRE", "TAction", "Edit", "EditAddAsKeywordsFromRE", "", "", imgNone, "EditAddAsKeywordsFromREExec", {}},
        {"EditAddAsKeywordsFromLV", "TAction", "Edit", "EditAddAsKeywordsFromLV", "", "", imgNone, "EditAddAsKeywordsFromLVExec", {}},
        {"EditApplyKeywordChanges", "TAction", "Edit", "Add/Apply", "", "", imgNone, "EditApplyKeywordChangesExec", {}},
        {"EditAddDocToKeywords", "TAction", "Edit", "Add Source File as Link", "",
         "|Adds the source file as a link to the checked keywords", imgNone, "EditAddDocToKeywordsExec", {}},
        {"EditAddStrippedFileAsLink", "TAction", "Edit", "Add Source File as Link", "",
         "|Adds the source file as a link to the selected keyword", imgNone, "EditAddStrippedFileAsLinkExec", {}},

        {"ViewSourceFile", "TAction", "View", "View Source File", "",
         "View source file|Selects/opens the tab sheet that with the source code", imgNone, "ViewSourceFileExec", {}},
        {"ViewBrowser", "TAction", "View", "View Browser", "",
         "View browser|Selects/opens the tab sheet that with the integrated browser", imgNone, "ViewBrowserExec", {}},
        {"ViewStrippedContents", "TAction", "View", "Stripped Contents", "",
         "View stripped text|Selects/opens the tab sheet that contains the stripped text", imgNone,
         "ViewStrippedContentsExec", {}},
        {"ViewDistinctWordList", "TAction", "View", "Distinct Words List", "", "", imgNone,
         "ViewDistinctWordListExec", {}},
        {"ViewKeywordList", "TAction", "View", "Keywords", "", "", imgNone, "ViewKewordListExec", {}},
        {"ViewAutoFindAndAdd", "TAction", "View", "Auto Find and Add", "", "", imgNone, "ViewAutoFindAndAddExec", {}},
        {"ViewSuppressWordsList", "TAction", "View", "Suppressed Keywords", "", "", imgNone,
         "ViewSuppressWordsListExec", {}},
        {"ViewLog", "TAction", "View", "Log", "", "", imgNone, "ViewLogExec", {}},
        {"ViewBrowserGoBack", "TAction", "View", "Go Back", "", "", imgBack, "ViewBrowserGoBackExec", {}},
        {"ViewBrowserGoForward", "TAction", "View", "Go Forward", "", "", imgForward, "ViewBrowserGoForwardExec", {}},
        {"ViewBrowserGoHome", "TAction", "View", "Go Home", "", "", imgHome, "ViewBrowserGoHomeExec", {}},

        {"BrowseOpenURL1", "TAction", "Internet", "Open URL", "", "Go|Open the file or URL specified in the combo box",
         imgOpenURL, "BrowseOpenURL1Exec", {}},
        {"BrowseBack1", "TAction", "Internet", "Back", "",
         "Go back|Return to the page previously dislpayed in the inteegrated browser", imgBack, "BrowseBackExec", {}},
        {"BrowseForward1", "TAction", "Internet", "Forward", "", "Go forward", imgForward, "BrowseForwardExec", {}},
        {"BrowseHome1", "TAction", "Internet", "Home", "", "Home|Open the default page in the integrated browser",
         imgHome, "BrowseHomeExec", {}},

        {"AssignmentRun1", "TAction", "Assignment", "Run", "F5",
         "Run|Strip the selected file of its tags and generate word lists", imgRun, "AssignmentRun", {}},
        // Pause, Resume and Cancel wait for a run (the idle state).
        {"AssignmentSuspend", "TAction", "Assignment", "Pause", "Shift+F7", "Pause|Suspend execution", imgPause,
         "AssignmentSuspendExec", kDisabled},
        {"AssignmentResume1", "TAction", "Assignment", "Resume", "", "Resume|Resume execution", imgResume,
         "AssignmentResume1Exec", {{"Enabled", "False"}, {"Visible", "False"}}},
        {"AssignmentCancel", "TAction", "Assignment", "Cancel", "Shift+F5", "Stop|Cancel execution", imgStop,
         "AssignmentCancelExec", kDisabled},
        {"AssignmentAutoFindAndAdd", "TAction", "Assignment", "Run Auto Find and Add", "", "", imgNone, "AssignmentAutoFindAndAddExec", {}},

        {"HelpRUKOnTheInternet", "TAction", "Help", "RUK Website", "", "", imgNone, "HelpRUKOnTheInternetExec", {}},
        {"HelpLexmillHomePage", "TAction", "Help", "Lexmill Home Page", "", "", imgNone, "HelpLexmillHomePageExec", {}},
        {"HelpAbout1", "TAction", "Help", "&About...", "",
         "About|Displays program information, version number, and copyright", imgAbout, "HelpAbout1Execute", {}},
    };

    const TProps viewRadio = {{"RadioItem", "True"}, {"GroupIndex", "1"}, {"AutoCheck", "True"}};
    const TProps priority = {{"RadioItem", "True"}, {"GroupIndex", "2"}, {"Enabled", "False"}};
    TProps normalPriority = priority;
    normalPriority.push_back({"Checked", "True"});

    TMenuRow main{"MainMenu1", "TMainMenu", {
        {0, "MMFile", "&File", "", {{"HelpContext", "7000"}}},
        {1, "MMFileSelSourceFiles", "", "FileSelSourceFiles1", {}},
        {1, "", "-", "", {}},
        {1, "MMFileNew", "", "FileNew1", {}},
        {1, "MMFileOpen", "", "FileOpen1", {}},
        {1, "", "-", "", {}},
        {1, "MMFileSave", "", "FileSave1", {}},
        {1, "MMFileSaveAs", "", "FileSaveAs1", {}},
        {1, "MMFileSaveAll", "", "FileSaveAll", {}},
        {1, "", "-", "", {}},
        {1, "MMFileExportAs", "Export as", "", {}},
        {2, "MMFileExportAsCsvFile", "", "FileExportDistinctWordsAsCsv", {}},
        {2, "MMFileExportAsKeywordsMetaTag2", "", "FileExportAsKeywordsMetaTag", {}},
        {2, "MMFileExportAsHhkFile", "", "FileExportAsChmKeywordsFile", {}},
        {1, "", "-", "", {}},
        {1, "MMFileClose", "", "FileClose", {}},
        {1, "MMFileCloseAll", "", "FileCloseAll", {}},
        {1, "", "-", "", {}},
        {1, "MMFileExit", "", "FileExit1", {}},

        {0, "MMEdit", "&Edit", "", {{"Hint", "Edit commands"}}},
        {1, "MMEditUndo", "", "EditUndo1", {}},
        {1, "MMEditRedo", "", "EditRedo1", {}},
        {1, "", "-", "", {}},
        {1, "MMEditCut", "", "EditCut1", {}},
        {1, "MMEditCopy", "", "EditCopy1", {}},
        {1, "MMEditPaste", "", "EditPaste1", {}},
        {1, "MMEditDelete", "", "EditDelete1", {}},
        {1, "", "-", "", {}},
        {1, "MMEditSelectAll", "", "EditSelectAll", {}},
        {1, "MMEditClearSelection", "", "EditClearSelection", {}},
        {1, "", "-", "", {}},
        {1, "MMEditAddAsKeyowrd", "", "EditAddAsKeyword", {}},
        {1, "MMEditAddAsKeyowrds", "", "EditAddAsKeywords", {}},
        {1, "MMEditAddDocToKeywords", "", "EditAddDocToKeywords", {}},
        {1, "", "-", "", {}},
        {1, "MMEditReadOnly", "", "EditReadOnly1", {}},

        {0, "MMView", "&View", "", {}},
        {1, "MMViewSourceFile", "", "ViewSourceFile", viewRadio},
        {1, "MMViewBrowser", "", "ViewBrowser", viewRadio},
        {1, "MMViewStrippedContents", "", "ViewStrippedContents", viewRadio},
        {1, "MMViewDistinctWordList", "", "ViewDistinctWordList", viewRadio},
        {1, "MMViewKeywordList", "", "ViewKeywordList", viewRadio},
        {1, "MMViewAutoFindAndAdd", "", "ViewAutoFindAndAdd", viewRadio},
        {1, "MMViewSuppressWordsList", "", "ViewSuppressWordsList", viewRadio},
        {1, "MMViewLog", "", "ViewLog", viewRadio},
        {1, "", "-", "", {}},
        {1, "MMViewBrowserOpenURL", "", "BrowseOpenURL1",
         {{"Hint", "Go|Open the file or URL specified in the file/address combo box"}}},
        {1, "MMViewBrowserGoBack", "", "ViewBrowserGoBack", {}},
        {1, "MMViewBrowserGoForward", "", "ViewBrowserGoForward", {}},
        {1, "MMViewBrowserGoHome", "", "ViewBrowserGoHome", {}},

        {0, "MMAssignment", "&Assignment", "", {}},
        {1, "MMAssignmentRun", "", "AssignmentRun1", {}},
        {1, "MMAssignmentSuspend", "", "AssignmentSuspend", {}},
        {1, "MMAssignmentCancel", "", "AssignmentCancel", {}},
        {1, "", "-", "", {}},
        {1, "MMAssignmentPriority", "Priority", "", {}},
        {2, "MMAssignmentPriorityHighest", "Very High", "", priority},
        {2, "MMAssignmentPriorityHigh", "High", "", priority},
        {2, "MMAssignmentPriorityNormal", "Normal", "", normalPriority},
        {2, "MMAssignmentPriorityLow", "Low", "", priority},
        {2, "MMAssignmentPriorityIdle", "Idle", "", priority},
        {1, "", "-", "", {}},
        {1, "MMAssignmentAutoFindAndAdd", "", "AssignmentAutoFindAndAdd", {}},

        {0, "MMHelp", "&Help", "", {{"Hint", "Help topics"}}},
        {1, "MMHelpRUKOnTheInternet", "", "HelpRUKOnTheInternet", {}},
        {1, "MMHelpLexmillHomePage", "", "HelpLexmillHomePage", {}},
        {1, "", "-", "", {}},
        {1, "MMHelpAbout", "", "HelpAbout1", {}},
    }};

    std::vector<TMenuItemRow> page3 = EditPopupItems("PM3");
    page3.push_back({0, "PM3AddAsKeyword", "Add Selection as  Keyword", "EditAddAsKeyword", {}});
    page3.push_back({0, "PM3AddStrippedFileAsLink", "", "EditAddStrippedFileAsLink", {}});
    page3.push_back({0, "", "-", "", {}});
    std::vector<TMenuItemRow> page4 = EditPopupItems("PM4");
    page4.push_back({0, "PM4AddAsKeywords", "", "EditAddAsKeywords", {}});
    page4.push_back({0, "", "-", "", {}});
    std::vector<TMenuItemRow> page6 = Hidden(EditPopupItems("PM6"), 8);
    page6.push_back({0, "PM6AddDocToKeywords", "", "EditAddDocToKeywords", {}});
    page6.push_back({0, "", "-", "", {}});

    d.Menus = {
        main,
        {"SourceFilePopupMenu", "TPopupMenu", WithReadOnly(EditPopupItems("PM1"), "PM1ReadOnly")},
        {"StrippedContentsPopupMenu", "TPopupMenu", WithReadOnly(page3, "PM3ReadOnly")},
        {"DistinctWordsPopupMenu", "TPopupMenu", WithReadOnly(page4, "PM4ReadOnly")},
        {"KeywordsPopupMenu1", "TPopupMenu", WithReadOnly(Hidden(EditPopupItems("PM5"), 6), "PM5ReadOnly")},
        {"AutoFindPopupMenu", "TPopupMenu", WithReadOnly(page6, "PM6ReadOnly")},
        {"SuppressedWordsPopupMenu", "TPopupMenu", WithReadOnly(EditPopupItems("PM7"), "PM7ReadOnly")},
        {"LogPopupMenu", "TPopupMenu", WithReadOnly(EditPopupItems("PM8"), "PM8ReadOnly")},
    };
    return d;
}

}  // namespace

const TFormDescription& SDIAppFormDescription() {
    static const TFormDescription d = MakeDescription();
    return d;
}

}  // namespace ruk
