#pragma once
#include <QWidget>

#include <functional>
#include <map>

#include "core/main_view.h"

namespace merlinox::gui {

// The main window: one widget per control id (the id is the widget's object name),
// and nothing else. It draws what the presenter sets and hands every user action on
// to the handler bound to the control's id; it decides nothing itself.
class MainWindow : public QWidget, public MainView {
    Q_OBJECT
public:
    MainWindow();

    // The widget of a control id, or null.
    QWidget* Control(int id) const;

    // The handler of a button's click, a check box's click (after the box has changed
    // its state) or a list's selection by the user.
    void Bind(int id, std::function<void()> handler);

    // The marker beside the board picture that says the board is the simulator.
    void ShowSimulatedBoard(bool simulated);

    // Asked when the user closes the window: false keeps it open.
    std::function<bool()> closeRequested;
    std::function<void(int x, int y)> moved;
    std::function<void()> minimised;
    std::function<void()> maximised;

    void SetText(int id, std::string_view text) override;
    std::string Text(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void ResetList(int id) override;
    void AppendToList(int id, std::string_view text) override;
    void SelectInList(int id, int index) override;
    int SelectedIndex(int id) const override;
    void SetProgressRange(int id, int low, int high) override;
    void SetProgressPosition(int id, int position) override;
    void SetTitle(std::string_view title) override;
    void MoveTo(int x, int y) override;
    int Left() const override;
    int Top() const override;
    void Redraw() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    template <typename Widget>
    Widget* Add(int id, Widget* widget);
    QWidget* BuildTop();
    QWidget* BuildButtons();
    QWidget* BuildFuses();
    void Dispatch(int id);

    std::map<int, QWidget*> controls_;
    QWidget* simulatedMarker_ = nullptr;
    std::map<int, std::function<void()>> handlers_;
};

}  // namespace merlinox::gui
