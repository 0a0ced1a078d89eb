// The Trend window: monitored signals plotted against time while monitor
// mode polls them. It shows what the monitor's round robin reads and asks
// the controller for nothing itself.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace ostra {

class CTrendLog;
class IMessageBox;

class CTrendWindow : public QWidget {
    Q_OBJECT
  public:
    struct Signal {
        int32_t number = 0;
        std::string name;
        bool digital = false;
    };

    // `log` is the frame's, filled while monitoring; it outlives the window.
    CTrendWindow(const CTrendLog& log, IMessageBox& msg, QWidget* parent = nullptr);

    // The signals one may plot (those monitor mode polls), and which are shown.
    void SetSignals(const std::vector<Signal>& signals, const std::vector<int32_t>& shown);
    std::vector<int32_t> Shown() const;
    // Every signal on offer, in list order.
    std::vector<int32_t> Listed() const;
    void SetShown(int32_t number, bool on);
    // The time window, in seconds (10 to 600).
    void SetWindowSeconds(int seconds);
    int WindowSeconds() const { return windowSeconds_; }
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }

    // Draws the newest samples (unless paused).
    void Refresh();
    // The visible data as CSV, and the chart as a picture; false with a
    // reason when the file cannot be written.
    bool ExportCsv(const QString& path, QString* error) const;
    bool ExportPng(const QString& path, QString* error);
    // The values at a time on the chart (seconds), as the read-out shows them.
    QString ReadOut(double seconds) const;

    QChartView* ChartView() const { return view_; }
    QListWidget* SignalList() const { return list_; }
    QLabel* ReadOutLabel() const { return readOut_; }
    // Points of a shown signal's series, for tests and the read-out.
    std::vector<std::pair<double, double>> Points(int32_t number) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Rebuild();
    const Signal* Find(int32_t number) const;

    const CTrendLog& log_;
    IMessageBox& msg_;
    std::vector<Signal> signals_;
    QListWidget* list_;
    QComboBox* span_;
    QPushButton* pause_;
    QLabel* readOut_;
    QChart* chart_;
    QChartView* view_;
    QValueAxis* time_;
    std::map<int32_t, QLineSeries*> series_;
    std::map<int32_t, QValueAxis*> axes_;  // -1: the digital signals' shared axis
    std::map<int32_t, int> lanes_;         // digital signal: its lane from the bottom
    int windowSeconds_ = 60;
    bool paused_ = false;
    int64_t shownUntilMs_ = 0;  // the right edge of the chart while paused
};

}  // namespace ostra
