// The Trend window.
#include "editor/TrendWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "comm/TrendLog.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"

namespace ostra {
namespace {

const int kSpans[] = {10, 30, 60, 120, 300, 600};

QString SpanText(int seconds) {
    return seconds < 60 ? QStringLiteral("%1 s").arg(seconds) : QStringLiteral("%1 min").arg(seconds / 60);
}

// The value a signal held at `ms`: its last sample at or before it.
bool ValueAt(const std::vector<TrendSample>& s, int64_t ms, double& value) {
    auto it = std::upper_bound(s.begin(), s.end(), ms,
                               [](int64_t t, const TrendSample& a) { return t < a.ms; });
    if (it == s.begin()) return false;
    value = std::prev(it)->value;
    return true;
}

}  // namespace

CTrendWindow::CTrendWindow(const CTrendLog& log, IMessageBox& msg, QWidget* parent)
    : QWidget(parent, Qt::Window),
      log_(log),
      msg_(msg),
      list_(new QListWidget(this)),
      span_(new QComboBox(this)),
      pause_(new QPushButton(QStringLiteral("&Pause"), this)),
      readOut_(new QLabel(this)),
      chart_(new QChart),
      view_(new QChartView(chart_, this)),
      time_(new QValueAxis(this)) {
    setWindowTitle(QStringLiteral("Trend"));
    resize(900, 480);
    list_->setToolTip(QStringLiteral("The monitored signals; tick those to plot"));
    connect(list_, &QListWidget::itemChanged, this, [this] { Rebuild(); });
    for (int s : kSpans) span_->addItem(SpanText(s), s);
    span_->setCurrentIndex(2);
    connect(span_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { SetWindowSeconds(span_->itemData(i).toInt()); });
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, &CTrendWindow::SetPaused);
    auto* csv = new QPushButton(QStringLiteral("Export &CSV..."), this);
    auto* png = new QPushButton(QStringLiteral("Export P&NG..."), this);
    const auto save = [this](const QString& filter, const QString& suffix, auto write) {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Trend"),
                                                          QStringLiteral("trend.") + suffix, filter);
        QString why;
        if (!path.isEmpty() && !write(path, &why))
            msg_.Show((path + QStringLiteral(" cannot be written: ") + why).toStdString(), "Trend",
                      MsgIcon::Exclamation, MsgButtons::Ok);
    };
    connect(csv, &QPushButton::clicked, this, [this, save] {
        save(QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"),
             [this](const QString& p, QString* e) { return ExportCsv(p, e); });
    });
    connect(png, &QPushButton::clicked, this, [this, save] {
        save(QStringLiteral("PNG (*.png)"), QStringLiteral("png"),
             [this](const QString& p, QString* e) { return ExportPng(p, e); });
    });
    readOut_->setWordWrap(true);
    readOut_->setMinimumWidth(200);
    readOut_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Signals"), this));
    side->addWidget(list_, 1);
    auto* spanRow = new QHBoxLayout;
    spanRow->addWidget(new QLabel(QStringLiteral("Window"), this));
    spanRow->addWidget(span_, 1);
    side->addLayout(spanRow);
    side->addWidget(pause_);
    side->addWidget(csv);
    side->addWidget(png);
    side->addWidget(readOut_, 1);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(side);
    outer->addWidget(view_, 1);

    chart_->legend()->setAlignment(Qt::AlignBottom);
    time_->setTitleText(QStringLiteral("time (s)"));
    time_->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(time_, Qt::AlignBottom);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMouseTracking(true);
    view_->viewport()->setMouseTracking(true);
    view_->viewport()->installEventFilter(this);
}

void CTrendWindow::SetSignals(const std::vector<Signal>& signals,
                              const std::vector<int32_t>& shown) {
    signals_ = signals;
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const Signal& s : signals_) {
        auto* item = new QListWidgetItem(QString::fromStdString(s.name), list_);
        item->setData(Qt::UserRole, s.number);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = std::find(shown.begin(), shown.end(), s.number) != shown.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(s.digital ? QStringLiteral("digital") : QStringLiteral("analogue"));
    }
    Rebuild();
}

std::vector<int32_t> CTrendWindow::Shown() const {
    std::vector<int32_t> out;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            out.push_back(list_->item(i)->data(Qt::UserRole).toInt());
    return out;
}

std::vector<int32_t> CTrendWindow::Listed() const {
    std::vector<int32_t> out;
    for (const Signal& s : signals_) out.push_back(s.number);
    return out;
}

void CTrendWindow::SetShown(int32_t number, bool on) {
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->data(Qt::UserRole).toInt() == number)
            list_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void CTrendWindow::SetWindowSeconds(int seconds) {
    windowSeconds_ = std::clamp(seconds, 10, 600);
    const int index = span_->findData(windowSeconds_);
    if (index >= 0 && index != span_->currentIndex()) {
        const QSignalBlocker quiet(span_);
        span_->setCurrentIndex(index);
    }
    Refresh();
}

void CTrendWindow::SetPaused(bool paused) {
    paused_ = paused;
    shownUntilMs_ = log_.LastMs();
    if (pause_->isChecked() != paused) {
        const QSignalBlocker quiet(pause_);
        pause_->setChecked(paused);
    }
    pause_->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    Refresh();
}

const CTrendWindow::Signal* CTrendWindow::Find(int32_t number) const {
    for (const Signal& s : signals_)
        if (s.number == number) return &s;
    return nullptr;
}

void CTrendWindow::Rebuild() {
    // One series and one value axis per shown signal, the axes taking turns
    // left and right, each in its series' colour.
    for (auto& [number, series] : series_) {
        chart_->removeSeries(series);
        delete series;
    }
    for (auto& [number, axis] : axes_) {
        chart_->removeAxis(axis);
        delete axis;
    }
    series_.clear();
    axes_.clear();
    // Colours far apart, so that ten signals stay told apart.
    static const QColor kColours[] = {{31, 119, 180}, {214, 39, 40},  {44, 160, 44},
                                      {255, 127, 14}, {148, 103, 189}, {140, 86, 75},
                                      {227, 119, 194}, {23, 190, 207}, {127, 127, 127},
                                      {188, 189, 34}};
    // Digital signals share one axis, each in a lane of its own like a logic
    // analyser's; each analogue signal has its own axis, the first two shown.
    lanes_.clear();
    QValueAxis* digitalAxis = nullptr;
    int colour = 0, analogue = 0;
    for (int32_t number : Shown()) {
        const Signal* s = Find(number);
        if (!s) continue;
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(s->name));
        series->setColor(kColours[colour++ % 10]);
        chart_->addSeries(series);
        series->attachAxis(time_);
        if (s->digital) {
            if (!digitalAxis) {
                digitalAxis = new QValueAxis;
                digitalAxis->setVisible(false);
                chart_->addAxis(digitalAxis, Qt::AlignRight);
                axes_[-1] = digitalAxis;
            }
            const int lane = static_cast<int>(lanes_.size());
            lanes_[number] = lane;
            series->attachAxis(digitalAxis);
        } else {
            auto* axis = new QValueAxis;
            axis->setLabelsColor(series->color());
            axis->setLinePenColor(series->color());
            axis->setVisible(analogue < 2);
            chart_->addAxis(axis, analogue++ % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
            series->attachAxis(axis);
            axes_[number] = axis;
        }
        series_[number] = series;
    }
    // The lanes fill the lower half; analogue lines use the whole height.
    if (digitalAxis) digitalAxis->setRange(-0.25, static_cast<double>(lanes_.size()) * 2.5);
    Refresh();
}

std::vector<std::pair<double, double>> CTrendWindow::Points(int32_t number) const {
    std::vector<std::pair<double, double>> out;
    const auto it = series_.find(number);
    if (it == series_.end()) return out;
    for (const QPointF& p : it->second->points()) out.emplace_back(p.x(), p.y());
    return out;
}

void CTrendWindow::Refresh() {
    const int64_t right = paused_ ? shownUntilMs_ : log_.LastMs();
    const int64_t left = right - int64_t{windowSeconds_} * 1000;
    time_->setRange(left / 1000.0, right / 1000.0);
    std::vector<QValueAxis*> varying, steady;
    for (auto& [number, series] : series_) {
        const Signal* s = Find(number);
        const std::vector<TrendSample>& samples = log_.Of(number);
        QList<QPointF> points;
        double low = INFINITY, high = -INFINITY;
        double held = 0;
        bool have = ValueAt(samples, left, held);
        if (have) points.append(QPointF(left / 1000.0, held));
        for (const TrendSample& t : samples) {
            if (t.ms <= left || t.ms > right) continue;
            // A digital signal keeps its level until it changes: a step.
            if (s && s->digital && have && t.value != held)
                points.append(QPointF(t.ms / 1000.0, held));
            points.append(QPointF(t.ms / 1000.0, t.value));
            held = t.value;
            have = true;
        }
        if (have && !points.isEmpty() && points.back().x() < right / 1000.0)
            points.append(QPointF(right / 1000.0, held));
        const auto lane = lanes_.find(number);
        if (lane != lanes_.end())
            for (QPointF& p : points) p.setY(lane->second * 1.25 + (p.y() != 0 ? 1.0 : 0.0));
        for (const QPointF& p : points) low = std::min(low, p.y()), high = std::max(high, p.y());
        series->replace(points);
        if (s && !s->digital && !points.isEmpty()) {
            const double margin =
                high > low ? (high - low) * 0.05 : std::max(1.0, std::fabs(high) * 0.05);
            axes_[number]->setRange(low - margin, high + margin);
            // Values that only ever are 0 or 1 say little on a scale.
            const bool binary = std::all_of(points.begin(), points.end(), [](const QPointF& p) {
                return p.y() == 0.0 || p.y() == 1.0;
            });
            (high > low && !binary ? varying : steady).push_back(axes_[number]);
        }
    }
    // Two axes are labelled: those of signals that move over a range first.
    varying.insert(varying.end(), steady.begin(), steady.end());
    for (std::size_t i = 0; i < varying.size(); ++i) varying[i]->setVisible(i < 2);
}

QString CTrendWindow::ReadOut(double seconds) const {
    const int64_t ms = static_cast<int64_t>(std::llround(seconds * 1000));
    QString text = QStringLiteral("t = %1 s").arg(seconds, 0, 'f', 1);
    for (const auto& [number, series] : series_) {
        double v = 0;
        if (!ValueAt(log_.Of(number), ms, v)) continue;
        text += QStringLiteral("\n%1 = %2").arg(series->name(), QString::fromStdString(CsvNumber(v)));
    }
    return text;
}

bool CTrendWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::MouseMove) {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        if (chart_->plotArea().contains(at) && !series_.empty()) {
            const QPointF value = chart_->mapToValue(at, series_.begin()->second);
            readOut_->setText(ReadOut(value.x()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool CTrendWindow::ExportCsv(const QString& path, QString* error) const {
    std::vector<std::pair<int32_t, std::string>> columns;
    for (int32_t number : Shown())
        if (const Signal* s = Find(number)) columns.emplace_back(number, s->name);
    const int64_t right = paused_ ? shownUntilMs_ : log_.LastMs();
    const int64_t left = right - int64_t{windowSeconds_} * 1000;
    std::string why;
    if (WriteFileAtomic(path.toStdString(), log_.Csv(columns, left, right), &why)) return true;
    if (error) *error = QString::fromStdString(why);
    return false;
}

bool CTrendWindow::ExportPng(const QString& path, QString* error) {
    if (view_->grab().save(path, "PNG")) return true;
    if (error) *error = QStringLiteral("the picture could not be saved");
    return false;
}

}  // namespace ostra
