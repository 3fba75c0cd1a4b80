#include "dialogs/Dialog.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "resources/Resources.h"

namespace vellum {

CDialog::CDialog(const DialogTemplate& dialogTemplate, Platform& p)
    : platform(p), tpl(dialogTemplate), states(size_t(dialogTemplate.controlCount)) {
    const Resources& res = Resources::Active();
    for (int i = 0; i < tpl.controlCount; ++i) {
        const char* text = tpl.controls[i].text ? tpl.controls[i].text : "";
        states[size_t(i)].text = res.DialogText(tpl.id, i, text);
    }
}

CDialog::~CDialog() = default;

std::string CDialog::Caption() const {
    return Resources::Active().DialogText(tpl.id, -1, tpl.caption ? tpl.caption : "");
}

int CDialog::IndexOf(int id) const {
    if (id < 0) return -1;
    for (int i = 0; i < tpl.controlCount; ++i)
        if (tpl.controls[i].id == id) return i;
    return -1;
}

void CDialog::Attach(DialogHost* h) { host = h; }

void CDialog::OnInitDialog() {
    DoDataExchange(false);
    if (host) host->BringToTop();
}

void CDialog::OnEditChanged(int index, const std::string& text) {
    if (index < 0 || index >= tpl.controlCount) return;
    states[size_t(index)].text = text;
    OnEditTextChanged(tpl.controls[index].id);
}

void CDialog::OnClicked(int index) {
    if (index < 0 || index >= tpl.controlCount) return;
    const ControlTemplate& c = tpl.controls[index];
    switch (c.kind) {
        case ControlKind::CheckBox:
            if (c.style & StyleAutoCheck) {
                states[size_t(index)].checked = !states[size_t(index)].checked;
                if (host) host->ControlChanged(index);
            }
            break;
        case ControlKind::RadioButton: {
            if (!(c.style & StyleAutoCheck)) break;
            // An automatic radio button unchecks the others of its group: the run of
            // radio buttons from the one that starts the group to the next start.
            int first = index;
            while (first > 0 && !(tpl.controls[first].style & StyleGroupStart) &&
                   tpl.controls[first - 1].kind == ControlKind::RadioButton)
                --first;
            for (int i = first; i < tpl.controlCount; ++i) {
                if (tpl.controls[i].kind != ControlKind::RadioButton) break;
                if (i > first && (tpl.controls[i].style & StyleGroupStart)) break;
                const int want = i == index ? 1 : 0;
                if (states[size_t(i)].checked != want) {
                    states[size_t(i)].checked = want;
                    if (host) host->ControlChanged(i);
                }
            }
            break;
        }
        case ControlKind::PushButton:
            if (c.id == 1)
                OnOK();
            else if (c.id == 2)
                OnCancel();
            else
                OnButton(c.id);
            break;
        default:
            break;
    }
}

void CDialog::OnSpin(int index, int count) {
    if (index < 0 || index >= tpl.controlCount || count == 0) return;
    const ControlTemplate& c = tpl.controls[index];
    if (c.kind != ControlKind::UpDown) return;
    ControlState& spin = states[size_t(index)];
    const int buddy = (c.style & StyleAutoBuddy) ? index - 1 : -1;
    if (buddy < 0 || tpl.controls[buddy].kind != ControlKind::Edit) return;
    // The up-down control steps from the buddy's number, and stops at its range ends.
    ControlState& edit = states[size_t(buddy)];
    char* end = nullptr;
    long v = std::strtol(edit.text.c_str(), &end, 10);
    if (end == edit.text.c_str()) v = spin.rangeLow;
    const int low = spin.rangeLow < spin.rangeHigh ? spin.rangeLow : spin.rangeHigh;
    const int high = spin.rangeLow < spin.rangeHigh ? spin.rangeHigh : spin.rangeLow;
    long next = v + count;
    if (next < low) next = low;
    if (next > high) next = high;
    if (c.style & StyleSetBuddyInt) {
        edit.text = std::to_string(next);
        if (host) host->ControlChanged(buddy);
    }
}

void CDialog::OnKeyUp(uint32_t) {}

void CDialog::OnCloseRequest() { OnCancel(); }

void CDialog::OnDestroy() {}

void CDialog::OnOK() {
    if (DoDataExchange(true)) EndDialog(1);
}

void CDialog::OnCancel() { EndDialog(2); }

bool CDialog::DoDataExchange(bool) { return true; }

namespace {

// A decimal integer as the dialogs accept it: optional sign, digits, nothing else but
// surrounding blanks.
bool ParseInt(const std::string& text, long long& out) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t j = text.size();
    while (j > i && (text[j - 1] == ' ' || text[j - 1] == '\t')) --j;
    if (i == j) return false;
    const std::string t = text.substr(i, j - i);
    size_t k = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (k == t.size()) return false;
    for (size_t m = k; m < t.size(); ++m)
        if (t[m] < '0' || t[m] > '9') return false;
    errno = 0;
    out = std::strtoll(t.c_str(), nullptr, 10);
    return errno == 0;
}

std::string FormatRange(const char* pattern, long long low, long long high) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            out += std::to_string(low);
            ++p;
        } else if (p[0] == '%' && p[1] == '2') {
            out += std::to_string(high);
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace

bool CDialog::ExchangeNumber(bool save, int id, long long& value, long long low, long long high) {
    const int index = IndexOf(id);
    if (index < 0) return true;
    if (!save) {
        SetControlText(id, std::to_string(value));
        return true;
    }
    long long v = 0;
    if (!ParseInt(states[size_t(index)].text, v) || v < low || v > high) {
        if (host)
            host->ShowMessage(IDS_PARSE_INT, Resources::Active().String(IDS_PARSE_INT),
                              MsgButtons::Ok);
        FocusControl(id);
        return false;
    }
    value = v;
    return true;
}

bool CDialog::ExchangeInt(bool save, int id, int32_t& value) {
    long long v = value;
    if (!ExchangeNumber(save, id, v, INT32_MIN, INT32_MAX)) return false;
    value = int32_t(v);
    return true;
}

bool CDialog::ExchangeUInt(bool save, int id, uint32_t& value) {
    long long v = value;
    if (!ExchangeNumber(save, id, v, 0, UINT32_MAX)) return false;
    value = uint32_t(v);
    return true;
}

bool CDialog::PeekUInt(int id, uint32_t& value) const {
    const int index = IndexOf(id);
    long long v = 0;
    if (index < 0 || !ParseInt(states[size_t(index)].text, v) || v < 0 || v > UINT32_MAX) return false;
    value = uint32_t(v);
    return true;
}

bool CDialog::ValidateRange(bool save, int id, int32_t value, int32_t low, int32_t high) {
    if (!save || (value >= low && value <= high)) return true;
    const std::string text =
        FormatRange(Resources::Active().String(IDS_PARSE_INT_RANGE), low, high);
    if (host) host->ShowMessage(IDS_PARSE_INT_RANGE, text, MsgButtons::Ok);
    FocusControl(id);
    return false;
}

void CDialog::ExchangeCheck(bool save, int id, int32_t& value) {
    const int index = IndexOf(id);
    if (index < 0) return;
    if (save) {
        value = states[size_t(index)].checked ? 1 : 0;
    } else {
        states[size_t(index)].checked = value ? 1 : 0;
        if (host) host->ControlChanged(index);
    }
}

void CDialog::ExchangeRadio(bool save, int firstId, int32_t& value) {
    const int first = IndexOf(firstId);
    if (first < 0) return;
    int last = first;
    while (last + 1 < tpl.controlCount && tpl.controls[last + 1].kind == ControlKind::RadioButton &&
           !(tpl.controls[last + 1].style & StyleGroupStart))
        ++last;
    if (save) {
        value = -1;
        for (int i = first; i <= last; ++i)
            if (states[size_t(i)].checked) {
                value = i - first;
                break;
            }
    } else {
        for (int i = first; i <= last; ++i) {
            states[size_t(i)].checked = (i - first) == value ? 1 : 0;
            if (host) host->ControlChanged(i);
        }
    }
}

void CDialog::ShowControl(int id, bool show) {
    const int index = IndexOf(id);
    if (index < 0) return;
    states[size_t(index)].visible = show;
    if (host) host->ControlChanged(index);
}

void CDialog::SetControlText(int id, const std::string& text) {
    const int index = IndexOf(id);
    if (index < 0) return;
    states[size_t(index)].text = text;
    if (host) host->ControlChanged(index);
}

void CDialog::SetRange(int id, int low, int high) {
    const int index = IndexOf(id);
    if (index < 0) return;
    states[size_t(index)].rangeLow = low;
    states[size_t(index)].rangeHigh = high;
    if (host) host->ControlChanged(index);
}

void CDialog::FocusControl(int id) {
    const int index = IndexOf(id);
    if (index >= 0 && host) host->SetFocus(index);
}

void CDialog::EndDialog(int code) {
    if (endCode != 0) return;
    endCode = code;
    if (host) host->EndDialog(code);
}

}  // namespace vellum
