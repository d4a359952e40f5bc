#pragma once
// The pages as the install and uninstall procedures see them.

#include <memory>
#include <optional>

#include "engine/setup_ui.h"
#include "framework/application.h"

class QObject;

namespace setup {

class Wizard;

class WizardUi : public engine::SetupUi {
public:
    explicit WizardUi(Wizard& wizard);
    ~WizardUi() override;

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showProgressPage() override;
    void appendLogLine(const std::string& line) override;
    void repaintLog() override;
    void keepPainting() override;
    void showFinishPage(const std::string& outcome) override;
    bool processPendingEvents() override;
    void setHourglass(bool on) override;
    void endProgram() override;

private:
    Wizard& m_wizard;
    std::unique_ptr<QObject> m_inputBlocker;  // drops user input while the pages only paint
    std::optional<framework::HourglassCursor> m_hourglass;
};

}  // namespace setup
