// A loaded window seen through its controls' layout names: feature code reads and writes
// control state here at the moment of use and keeps no copy of its own.
#pragma once

#include <string>

#include "platform/ui_host.h"

namespace zv {

class Form {
 public:
  Form(IUiHost& ui, WindowId id) : ui_(&ui), id_(id) {}

  WindowId Id() const { return id_; }
  IUiHost& Ui() const { return *ui_; }

  std::string Text(const std::string& control) const { return ui_->Text(id_, control); }
  void SetText(const std::string& control, const std::string& text) const {
    ui_->SetText(id_, control, text);
  }
  bool IsShown(const std::string& control) const { return ui_->IsShown(id_, control); }
  void Show(const std::string& control, bool visible) const { ui_->Show(id_, control, visible); }
  int Interval(const std::string& timer) const { return ui_->Interval(id_, timer); }
  void SetInterval(const std::string& timer, int milliseconds) const {
    ui_->SetInterval(id_, timer, milliseconds);
  }
  int Position(const std::string& control) const { return ui_->Position(id_, control); }
  void SetPosition(const std::string& control, int position) const {
    ui_->SetPosition(id_, control, position);
  }
  bool IsChecked(const std::string& control) const { return ui_->IsChecked(id_, control); }
  void SetChecked(const std::string& control, bool checked) const {
    ui_->SetChecked(id_, control, checked);
  }
  void SetFill(const std::string& control, unsigned colour) const {
    ui_->SetFill(id_, control, colour);
  }

 private:
  IUiHost* ui_;
  WindowId id_;
};

}  // namespace zv
