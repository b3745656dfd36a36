// Headers that nearly every GUI source includes, precompiled once per
// library to shorten the build. Nothing includes this file by name.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
