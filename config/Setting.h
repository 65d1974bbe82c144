// One setting of the form: an id that names it in saved-settings files, a label that tells the
// user what it is, and an integer value. CSetting holds the three; CByteSetting, the kind that the
// configuration creates, also shows a label and an edit box and keeps its value in step with the
// edit box's text. A setting never reads a file by itself: the configuration hands it the stream.
#pragma once

#include <istream>
#include <memory>
#include <ostream>

#include "config/TextPrimitives.h"
#include "platform/CEdit.h"
#include "platform/CStatic.h"

class CWnd;

class CSetting {
 public:
  CSetting() = default;
  CSetting(const CSetting&) = delete;
  CSetting& operator=(const CSetting&) = delete;
  virtual ~CSetting() = default;

  virtual int GetKind() const;
  virtual int GetValue();
  virtual void SetId(const char* id);
  virtual void SetLabel(const char* label);
  virtual void SetValue(int value);
  virtual bool IsId(const char* id) const;
  virtual void CopyFrom(const CSetting& other);
  virtual void CreateControls(CWnd* parent);
  virtual void Layout(int x, int y, int width, int* nextY);
  // Reads one saved-settings line: the id word, then the quoted value, stored with SetValue. A
  // line whose value the end of the file cuts off changes nothing.
  virtual void Read(std::istream& in);
  // Writes one saved-settings line: id, blank, the value in double quotes, line end. Takes the
  // value with GetValue first, so that a byte setting writes what its edit box shows.
  virtual void Write(std::ostream& out);

  const char* GetId() const { return m_id; }
  const char* GetLabel() const { return m_label; }

 protected:
  config::TextBuffer m_id = {};
  config::TextBuffer m_label = {};
  int m_value = 0;
};

class CByteSetting : public CSetting {
 public:
  int GetKind() const override;
  int GetValue() override;
  void SetValue(int value) override;
  void CreateControls(CWnd* parent) override;
  void Layout(int x, int y, int width, int* nextY) override;

  // The controls, for tests and for the dialog's own use; null until CreateControls.
  CStatic* GetLabelControl() const { return m_labelControl.get(); }
  CEdit* GetEditBox() const { return m_editBox.get(); }

 private:
  std::unique_ptr<CStatic> m_labelControl;
  std::unique_ptr<CEdit> m_editBox;
};
