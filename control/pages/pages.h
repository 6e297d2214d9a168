#pragma once

#include "control/factory.h"
#include "control/pages/property_page.h"

class QColorDialog;
class QComboBox;
class QFontDialog;
class QLineEdit;

// The control's pages, one file each, laid out as their dialogs were.
namespace pm32::control::pages {

class GeneralPage final : public PropertyPage {
  public:
    explicit GeneralPage(QWidget* parent = nullptr);
};

class ViewPage final : public PropertyPage {
  public:
    explicit ViewPage(QWidget* parent = nullptr);
};

class DrawingPage final : public PropertyPage {
  public:
    explicit DrawingPage(QWidget* parent = nullptr);
};

class TextPage final : public PropertyPage {
  public:
    explicit TextPage(QWidget* parent = nullptr);
};

class SelectPage final : public PropertyPage {
  public:
    explicit SelectPage(QWidget* parent = nullptr);
};

class PicturePage final : public PropertyPage {
  public:
    explicit PicturePage(QWidget* parent = nullptr);

    // "&Browse": asks for an image file and puts its path into the name.
    void browse();
    // "&Clear": empties the name.
    void clear();

  private:
    QLineEdit* fileName_;
};

class LoadPage final : public PropertyPage {
  public:
    explicit LoadPage(QWidget* parent = nullptr);
};

class WritePage final : public PropertyPage {
  public:
    explicit WritePage(QWidget* parent = nullptr);
};

// The stock font page over Qt's font chooser, bound to Font.
class FontPage final : public PropertyPage {
  public:
    explicit FontPage(QWidget* parent = nullptr);
    bool isDirty() const override;
    QFontDialog* chooser() const { return chooser_; }

  protected:
    void load() override;
    bool write() override;

  private:
    QFontDialog* chooser_;
    QFont loaded_;
};

// The stock colour page over Qt's colour chooser: pick a colour property,
// then its colour.
class ColorPage final : public PropertyPage {
  public:
    explicit ColorPage(QWidget* parent = nullptr);
    bool isDirty() const override;
    QComboBox* properties() const { return properties_; }
    QColorDialog* chooser() const { return chooser_; }

  protected:
    void load() override;
    bool write() override;

  private:
    void showProperty(int index);
    void choose(const QColor& color);

    QComboBox* properties_;
    QColorDialog* chooser_;
    // Per listed property: the OLE colour read and the one chosen.
    std::vector<std::uint32_t> loaded_;
    std::vector<std::uint32_t> chosen_;
};

}  // namespace pm32::control::pages
