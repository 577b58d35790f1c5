#pragma once
// The Qt dialog on the offscreen platform with its own settings and a scratch folder of scanner
// slices (the application object is made once per executable, in KavexWindowTest.cpp).

#include "app/DialogRig.h"

#include "app/qt/KavexWindow.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CWindowRig : public ::testing::Test
{
protected:
    CKavexWindow& Show(const std::string& commandLinePath)
    {
        m_window = std::make_unique<CKavexWindow>();
        m_window->Logic().SetSourcePath(commandLinePath);
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }
    template <typename T> T* Find(int32_t id) { return qobject_cast<T*>(m_window->Control(id)); }
    // Gives the control the keyboard focus, as a user's click or Tab would.
    void Focus(QWidget* control)
    {
        m_window->activateWindow();
        control->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(control->hasFocus());
    }
    // Slices 0 .. count - 1 of "rec" in the folder "scan"; the path of slice n.
    std::string Dataset(int32_t count, int32_t n = 0)
    {
        WriteScannerSlices(m_scratch.Folder("scan"), "rec", 0, count - 1);
        return Slice("rec", n);
    }
    std::string Slice(const std::string& prefix, int32_t n, const char* extension = "bmp")
    {
        return NumberedName(m_scratch.Path("scan"), prefix, n, extension);
    }

    void TearDown() override { m_window.reset(); }

    CSettingsTestDir m_settings;
    CScratchFolder m_scratch;
    std::unique_ptr<CKavexWindow> m_window;
};
