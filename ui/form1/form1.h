#pragma once

#include <QMainWindow>
#include <optional>

#include "engine/design.h"
#include "engine/report.h"

// The result of the last completed design run: the numbers and the texts the report showed.
struct StoredRun {
    engine::DesignResult result;
    engine::ReportValues texts;
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // None before the first completed run; a run that stops with a message leaves it as it was.
    const std::optional<StoredRun>& storedRun() const { return storedRun_; }

private:
    std::optional<StoredRun> storedRun_;
};
