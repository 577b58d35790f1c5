#pragma once
// The main dialog's logic on a fake window, with its own registry and temporary folder, and BMP
// data sets written into a scratch folder the way a scanner writes them (falling palette,
// calibration pair in the private block).

#include "FakeWindow.h"
#include "base/ScratchFolder.h"
#include "base/SettingsTestDir.h"

#include "Base/formats/FileImageBuffer16.h"
#include "app/ControlIds.h"
#include "app/KavexDlg.h"
#include "app/UserSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

inline std::string NumberedName(const std::string& folder, const std::string& prefix, int32_t n,
                                const std::string& extension)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d.", n);
    return folder + "/" + prefix + digits + extension;
}

// Slices first .. last of prefix in folder, 8 x 6 samples each, as a scanner writes them: a
// falling palette and, when calibrated, the pair -1000 / 3000 in the private block.
inline std::string WriteScannerSlices(const std::string& folder, const std::string& prefix, int32_t first,
                                      int32_t last, bool calibrated = true)
{
    uint8_t falling[256 * 4] = {};
    for (int32_t i = 0; i < 256; ++i)
        falling[i * 4] = falling[i * 4 + 1] = falling[i * 4 + 2] = uint8_t(255 - i);
    for (int32_t n = first; n <= last; ++n)
    {
        vKit::CFileImageBuffer16 image;
        EXPECT_TRUE(image.Create(8, 6, 32));
        image.Fill(uint16_t((20 + n % 200) << 8));
        image.Info().ColorTable().SetEntries(falling, 256);
        if (calibrated)
        {
            image.Info().SetPrivateA(-1000);
            image.Info().SetPrivateB(3000);
        }
        EXPECT_EQ(image.SaveFile(NumberedName(folder, prefix, n, "bmp")), 0);
    }
    return NumberedName(folder, prefix, first, "bmp");
}

class CDialogRig : public ::testing::Test
{
protected:
    // Defaults as "Save as default" would have stored them before the program starts.
    void StoreDefaults(int32_t extension)
    {
        CUserConfig config;
        CUserConfig::GetUserInfo()->m_nDefaultExtension = extension;
        config.SaveUserSettings();
    }

    std::string WriteSlices(const std::string& folder, const std::string& prefix, int32_t first, int32_t last,
                            bool calibrated = true)
    {
        return WriteScannerSlices(m_scratch.Folder(folder), prefix, first, last, calibrated);
    }

    CKavexDlg& Open(const std::string& commandLinePath = "")
    {
        m_dialog = std::make_unique<CKavexDlg>(m_window);
        m_dialog->SetSourcePath(commandLinePath);
        m_dialog->OnInitDialog();
        return *m_dialog;
    }

    void Close()
    {
        if (m_dialog) m_dialog->OnDestroy();
        m_dialog.reset();
    }

    void TearDown() override { Close(); }

    void Pick(int32_t list, const std::string& text)
    {
        m_window.UserSelects(list, text);
        m_dialog->OnListSelectionChanged(list);
    }

    void Type(int32_t edit, const std::string& text)
    {
        m_dialog->OnEditFocus(edit);
        m_window.SetText(edit, text);
        m_dialog->OnEditKillFocus(edit);
    }

    CSettingsTestDir m_settings;
    CScratchFolder m_scratch;
    CFakeWindow m_window;
    std::unique_ptr<CKavexDlg> m_dialog;
};
