#pragma once
// A window for the dialog logic without a toolkit: it keeps what the logic sets, answers what it
// asks, and lets a test script the message boxes, file dialogs and the message pump.

#include "app/Dib.h"
#include "app/WindowOps.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class CFakeWindow : public CWindowOps
{
public:
    struct CList
    {
        using value_type = std::pair<std::string, int32_t>; // text and value
        std::vector<value_type> items;
        int32_t selected = -1;
    };

    void SetText(int32_t id, const std::string& text) override { texts[id] = text; }
    void SetToolTip(int32_t id, const std::string& text) override { toolTips[id] = text; }
    std::string GetText(int32_t id) const override { return Lookup(texts, id, std::string()); }
    void Enable(int32_t id, bool enable) override { enabled[id] = enable; }
    // A control the logic never touched counts as enabled, as a new control is.
    bool IsEnabled(int32_t id) const override { return Lookup(enabled, id, true); }
    void SetCheck(int32_t id, int32_t state) override { checks[id] = state; }
    int32_t GetCheck(int32_t id) const override { return Lookup(checks, id, 0); }
    void ListReset(int32_t id) override { lists[id] = CList(); }
    void ListAdd(int32_t id, const std::string& text, int32_t value) override
    {
        lists[id].items.emplace_back(text, value);
    }
    void ListSelect(int32_t id, int32_t index) override
    {
        CList& list = lists[id];
        list.selected = index >= 0 && index < int32_t(list.items.size()) ? index : -1;
    }
    bool ListSelectedValue(int32_t id, int32_t& value) const override
    {
        if (Lookup(lists, id, CList()).selected < 0) return false;
        value = Selected(id).second;
        return true;
    }
    // What a user's pick does to the control before the logic hears of it.
    void UserSelects(int32_t id, const std::string& text)
    {
        CList& list = lists[id];
        for (size_t i = 0; i < list.items.size(); ++i)
            if (list.items[i].first == text) list.selected = int32_t(i);
    }
    std::string SelectedText(int32_t id) const { return Selected(id).first; }

    void SetSpinRange(int32_t, int32_t, int32_t) override {}
    void SetSpinPos(int32_t id, int32_t pos) override { positions[id] = pos; }
    int32_t GetSpinPos(int32_t id) const override { return Lookup(positions, id, 0); }
    void SetSliderRange(int32_t, int32_t, int32_t) override {}
    void SetSliderTicks(int32_t, int32_t) override {}
    void SetSliderPos(int32_t id, int32_t pos) override { positions[id] = pos; }
    int32_t GetSliderPos(int32_t id) const override { return Lookup(positions, id, 0); }
    void SetProgressRange(int32_t, int32_t, int32_t) override {}
    void SetProgressStep(int32_t, int32_t) override {}
    void SetProgressPos(int32_t id, int32_t pos) override { positions[id] = pos; }
    void SetProgressColor(int32_t, uint32_t rgb) override { progressColors.push_back(rgb); }
    void SetPicture(int32_t id, const vKit::CDib& dib) override
    {
        pictureFirstColumn[id] = dib.GetPaletteColor(dib.GetPixel(0, 0));
    }
    void EnableMenuItem(int32_t command, bool enable) override { menu[command] = enable; }
    void Repaint() override {}

    EMessageResult MessageBox(const std::string& text, const std::string&, EMessageStyle style) override
    {
        messages.push_back(text);
        if (style != EMessageStyle::YesNoCancel) return EMessageResult::Ok;
        if (answers.empty()) return EMessageResult::Cancel;
        const EMessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void PumpMessages() override
    {
        if (onPump) onPump();
    }
    bool FileDialog(const CFileDialogRequest& request, std::vector<std::string>& paths) override
    {
        requests.push_back(request);
        if (dialogAnswers.empty()) return false;
        const std::string answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (answer.empty()) return false;
        paths = {answer};
        return true;
    }
    void ShowAbout() override { ++abouts; }
    void ShowHelp(int32_t callerId) override { helps.push_back(callerId); }
    void ShowPreview() override { ++previews; }
    void Close() override { ++closes; }

    std::map<int32_t, std::string> texts;
    std::map<int32_t, std::string> toolTips;
    std::map<int32_t, bool> enabled;
    std::map<int32_t, int32_t> checks;
    std::map<int32_t, CList> lists;
    std::map<int32_t, int32_t> positions;
    std::map<int32_t, uint32_t> pictureFirstColumn;
    std::map<int32_t, bool> menu;
    std::vector<uint32_t> progressColors;
    std::vector<std::string> messages;
    std::deque<EMessageResult> answers;
    std::deque<std::string> dialogAnswers; // "" cancels
    std::vector<CFileDialogRequest> requests;
    std::vector<int32_t> helps;
    std::function<void()> onPump;
    int32_t abouts = 0;
    int32_t previews = 0;
    int32_t closes = 0;

private:
    template <typename Value>
    static Value Lookup(const std::map<int32_t, Value>& map, int32_t id, Value missing)
    {
        auto it = map.find(id);
        return it == map.end() ? missing : it->second;
    }
    // The selected item, or an empty one.
    CList::value_type Selected(int32_t id) const
    {
        const CList list = Lookup(lists, id, CList());
        return list.selected < 0 ? CList::value_type() : list.items[size_t(list.selected)];
    }
};
