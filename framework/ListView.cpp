#include "ComCtrls.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- TListItemStrings / TListItem

namespace {
[[noreturn]] void ListIndexError(int index) {
    throw EStringListError(Format("List index out of bounds (%d)", index));
}
}  // namespace

const std::string& TListItemStrings::Strings(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return FItems[static_cast<size_t>(index)];
}

void TListItemStrings::Add(const std::string& s) {
    FItems.push_back(s);
    if (FOwner) FOwner->SubItemChanged(Count() - 1);
}

void TListItemStrings::Put(int index, const std::string& s) {
    if (index < 0 || index >= Count()) ListIndexError(index);
    FItems[static_cast<size_t>(index)] = s;
    if (FOwner) FOwner->SubItemChanged(index);
}

void TListItemStrings::Clear() {
    int n = Count();
    FItems.clear();
    if (FOwner)
        for (int i = 0; i < n; ++i) FOwner->SubItemChanged(i);
}

int TListItem::Index() const { return FOwner ? FOwner->IndexOfItem(this) : -1; }

void TListItem::SetCaption(const std::string& s) {
    FCaption = s;
    int i = Index();
    if (i < 0) return;
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = FCaption.data();
    SendMessageA(FOwner->Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void TListItem::SubItemChanged(int index) {
    int i = Index();
    if (i < 0) return;
    std::string text = index < FSubItems.Count() ? FSubItems.Strings(index) : std::string();
    LVITEMA item{};
    item.iSubItem = index + 1;
    item.pszText = text.data();
    SendMessageA(FOwner->Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Checked() const {
    int i = Index();
    if (i < 0) return false;
    UINT state = static_cast<UINT>(
        SendMessageA(FOwner->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListItem::SetChecked(bool c) {
    int i = Index();
    if (i < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(c ? 2 : 1);
    SendMessageA(FOwner->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const {
    int i = Index();
    return i >= 0 &&
           (SendMessageA(FOwner->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) & LVIS_SELECTED);
}

void TListItem::SetSelected(bool s) {
    int i = Index();
    if (i < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = s ? LVIS_SELECTED : 0;
    SendMessageA(FOwner->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------- TListItems

int TListItems::Count() const {
    return static_cast<int>(SendMessageA(FOwner.Handle(), LVM_GETITEMCOUNT, 0, 0));
}

TListItem* TListItems::Item(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (index < 0 || !SendMessageA(FOwner.Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    TListItem* li = reinterpret_cast<TListItem*>(item.lParam);
    // Where it was found is where the next lookup of its index looks first.
    if (li) li->FIndexHint = index;
    return li;
}

TListItem* TListItems::Add() {
    FOwned.push_back(std::unique_ptr<TListItem>(new TListItem(&FOwner)));
    TListItem* li = FOwned.back().get();
    li->FOwnedIndex = FOwned.size() - 1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = Count();
    item.pszText = li->FCaption.data();
    item.lParam = reinterpret_cast<LPARAM>(li);
    int index = static_cast<int>(SendMessageA(FOwner.Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        FOwned.pop_back();
        throw EOutOfResources("Failed to add a list item");
    }
    li->FIndexHint = index;
    if (FOwner.FCheckboxes) li->SetChecked(false);
    return li;
}

void TListItems::Delete(int index) {
    TListItem* li = Item(index);
    if (!li) ListIndexError(index);
    SendMessageA(FOwner.Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    // The owned items are in no order: the last takes the place of the one that goes.
    const size_t at = li->FOwnedIndex;
    if (at < FOwned.size() && FOwned[at].get() == li) {
        if (at + 1 != FOwned.size()) {
            FOwned[at].swap(FOwned.back());
            FOwned[at]->FOwnedIndex = at;
        }
        FOwned.pop_back();
    }
}

void TListItems::Delete(const std::vector<TListItem*>& items) {
    std::vector<int> indexes;
    indexes.reserve(items.size());
    for (const TListItem* item : items) {
        const int index = item ? item->Index() : -1;
        if (index >= 0) indexes.push_back(index);
    }
    if (indexes.empty()) return;
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    TListUpdateGuard noRedraw(*this);
    if (static_cast<int>(indexes.size()) == Count()) {
        Clear();
        return;
    }
    // The control moves its focus with every item that goes at or above the focused one, and
    // scrolls the focused item into view and paints each time, redrawing off or not (some 7 ms
    // an item under Wine, with the focus on the last item): the focus is off the items
    // meanwhile and is put back once.
    const HWND handle = FOwner.Handle();
    const int focused = static_cast<int>(SendMessageA(handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    LVITEMA focus{};
    focus.stateMask = LVIS_FOCUSED;
    if (focused >= 0)
        SendMessageA(handle, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&focus));
    // Last first, so that the indexes of the items still to go stay where they are.
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) Delete(*it);
    if (focused < 0) return;
    // The first item from the focused one on that stays, at its new index; past the end, the last.
    auto gone = std::lower_bound(indexes.begin(), indexes.end(), focused);
    int next = focused;
    for (; gone != indexes.end() && *gone == next; ++gone) ++next;
    const int at = std::min(next - static_cast<int>(gone - indexes.begin()), Count() - 1);
    focus.state = LVIS_FOCUSED;
    SendMessageA(handle, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&focus));
}

void TListItems::Clear() {
    if (FOwner.HandleAllocated()) SendMessageA(FOwner.HandleValue(), LVM_DELETEALLITEMS, 0, 0);
    FOwned.clear();
}

void TListItems::BeginUpdate() {
    if (FUpdateCount++ == 0) SendMessageA(FOwner.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        SendMessageA(FOwner.Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FOwner.Handle(), nullptr, TRUE);
    }
}

// ---------------------------------------------------------------- TListView

TListView::TListView(TComponent* owner) : TWinControl(owner), FItems(*this) { FTabStop = true; }

TListView::~TListView() {
    // The items go with the window; the window goes first so that it never holds a freed item.
    DestroyHandle();
    FItems.FOwned.clear();
}

void TListView::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "ViewStyle")) {
        FViewStyle = StrToEnumProp<TViewStyle>(value, {{"vsReport", TViewStyle::vsReport},
                                                       {"vsList", TViewStyle::vsList},
                                                       {"vsSmallIcon", TViewStyle::vsSmallIcon},
                                                       {"vsIcon", TViewStyle::vsIcon}});
    } else if (SameText(name, "MultiSelect")) FMultiSelect = StrToBoolProp(value);
    else if (SameText(name, "Checkboxes")) FCheckboxes = StrToBoolProp(value);
    else if (SameText(name, "ReadOnly")) FReadOnly = StrToBoolProp(value);
    else if (SameText(name, "RowSelect")) FRowSelect = StrToBoolProp(value);
    else if (SameText(name, "HideSelection")) FHideSelection = StrToBoolProp(value);
    else if (SameText(name, "Column")) {
        // "caption,width"; the caption may hold blanks but no comma.
        int comma = 0;
        for (int i = static_cast<int>(value.size()); i >= 1; --i)
            if (value[i - 1] == ',') {
                comma = i;
                break;
            }
        if (comma == 0) AddColumn(value, 50);
        else AddColumn(Copy(value, 1, comma - 1), StrToIntProp(Trim(Copy(value, comma + 1, 20))));
    } else TWinControl::SetProperty(name, value, reader);
}

void TListView::AddColumn(const std::string& caption, int width) {
    FColumns.push_back({caption, width});
    if (FHandle) InsertNativeColumn(ColumnCount() - 1);
}

void TListView::InsertNativeColumn(int index) {
    std::string text = FColumns[static_cast<size_t>(index)].Caption;
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = FColumns[static_cast<size_t>(index)].Width;
    col.iSubItem = index;
    if (SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)) < 0)
        throw EOutOfResources("Failed to add a list column");
}

void TListView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = WC_LISTVIEWA;
    p.OwnClass = false;
    p.ExStyle = WS_EX_CLIENTEDGE;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_SHAREIMAGELISTS;
    switch (FViewStyle) {
    case TViewStyle::vsReport: p.Style |= LVS_REPORT; break;
    case TViewStyle::vsList: p.Style |= LVS_LIST; break;
    case TViewStyle::vsSmallIcon: p.Style |= LVS_SMALLICON; break;
    default: p.Style |= LVS_ICON; break;
    }
    if (!FMultiSelect) p.Style |= LVS_SINGLESEL;
    if (!FHideSelection) p.Style |= LVS_SHOWSELALWAYS;
}

void TListView::InitWnd() {
    TWinControl::InitWnd();
    DWORD ex = (FCheckboxes ? LVS_EX_CHECKBOXES : 0) | (FRowSelect ? LVS_EX_FULLROWSELECT : 0);
    SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, ex);
    for (int i = 0; i < ColumnCount(); ++i) InsertNativeColumn(i);
}

bool TListView::CNNotify(NMHDR* hdr, LRESULT& result) {
    // Nothing here follows the removal of single items: when every item goes, the control need
    // not say so for each of them.
    if (hdr->code != LVN_DELETEALLITEMS) return false;
    result = TRUE;
    return true;
}

int TListView::IndexOfItem(const TListItem* item) const {
    if (!FHandle) return -1;
    if (item->FIndexHint >= 0) {
        LVITEMA at{};
        at.mask = LVIF_PARAM;
        at.iItem = item->FIndexHint;
        if (SendMessageA(FHandle, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&at)) &&
            at.lParam == reinterpret_cast<LPARAM>(item))
            return item->FIndexHint;
    }
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(item);
    item->FIndexHint = static_cast<int>(
        SendMessageA(FHandle, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    return item->FIndexHint;
}

TListItem* TListView::Selected() { return GetNextItem(nullptr, TSearchDirection::sdAll, LVNI_SELECTED); }

int TListView::SelCount() { return static_cast<int>(SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)); }

TListItem* TListView::GetNextItem(TListItem* start, TSearchDirection direction, UINT states) {
    UINT flags = states;
    switch (direction) {
    case TSearchDirection::sdAbove: flags |= LVNI_ABOVE; break;
    case TSearchDirection::sdBelow: flags |= LVNI_BELOW; break;
    case TSearchDirection::sdLeft: flags |= LVNI_TOLEFT; break;
    case TSearchDirection::sdRight: flags |= LVNI_TORIGHT; break;
    default: flags |= LVNI_ALL; break;
    }
    int from = start ? start->Index() : -1;
    int i = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(from), flags));
    return FItems.Item(i);
}

void TListView::SelectAll() {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void TListView::ClearSelection() {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

TListItem* TListView::FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive, bool wrap) {
    std::string text = value;
    LVFINDINFOA find{};
    find.flags = LVFI_STRING | (partial ? LVFI_PARTIAL : 0) | (wrap ? LVFI_WRAP : 0);
    find.psz = text.c_str();
    int from = inclusive ? startIndex - 1 : startIndex;
    int i = static_cast<int>(
        SendMessageA(Handle(), LVM_FINDITEMA, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&find)));
    return FItems.Item(i);
}

TListItem* TListView::FindData(int startIndex, void* data, bool inclusive, bool wrap) {
    int n = FItems.Count();
    for (int k = 0; k < n; ++k) {
        int i = startIndex + (inclusive ? k : k + 1);
        if (i >= n) {
            if (!wrap) break;
            i -= n;
        }
        TListItem* li = FItems.Item(i);
        if (li && li->Data == data) return li;
    }
    return nullptr;
}

bool TListView::CustomSort(TLVCompare compare, LPARAM data) {
    return SendMessageA(Handle(), LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
}

namespace {
int CALLBACK CompareCaptions(LPARAM a, LPARAM b, LPARAM) {
    return lstrcmpA(reinterpret_cast<TListItem*>(a)->Caption().c_str(), reinterpret_cast<TListItem*>(b)->Caption().c_str());
}
}  // namespace

bool TListView::AlphaSort() { return CustomSort(CompareCaptions, 0); }

// ---------------------------------------------------------------- TTreeView

void TTreeView::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "MultiSelect")) FMultiSelect = StrToBoolProp(value);
    else if (SameText(name, "SortType")) {
        FSortByText = StrToEnumProp<bool>(value, {{"stText", true}, {"stNone", false}});
    } else if (SameText(name, "Items")) {
        // One node per line; two leading blanks per level below the roots.
        TStringList lines;
        lines.SetText(value);
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string& l = lines[i];
            size_t blanks = l.find_first_not_of(' ');
            if (blanks == std::string::npos) continue;
            FPending.emplace_back(static_cast<int>(blanks / 2), l.substr(blanks));
        }
    } else TWinControl::SetProperty(name, value, reader);
}

void TTreeView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = WC_TREEVIEWA;
    p.OwnClass = false;
    p.ExStyle = WS_EX_CLIENTEDGE;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
              TVS_SHOWSELALWAYS;
}

void TTreeView::InitWnd() {
    TWinControl::InitWnd();
    for (auto& n : FNodes) InsertNative(n.get());
    std::vector<TTreeNode*> levels;
    for (auto& [level, text] : FPending) {
        levels.resize(static_cast<size_t>(level));
        TTreeNode* parent = level > 0 && !levels.empty() ? levels.back() : nullptr;
        levels.push_back(AddChild(parent, text));
    }
    FPending.clear();
}

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const std::string& text) {
    FNodes.push_back(std::make_unique<TTreeNode>());
    TTreeNode* n = FNodes.back().get();
    n->Text = text;
    n->Parent = parent;
    if (FHandle) InsertNative(n);
    return n;
}

void TTreeView::InsertNative(TTreeNode* n) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = n->Parent ? n->Parent->ItemId : TVI_ROOT;
    ins.hInsertAfter = FSortByText ? TVI_SORT : TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = n->Text.data();
    ins.item.lParam = reinterpret_cast<LPARAM>(n);
    n->ItemId = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (!n->ItemId) throw EOutOfResources("Failed to add a tree node");
}

}  // namespace ruk
