#pragma once
// The elastic-form component as a page stores it: the screen and form bounds the page
// was designed with, which axes and fonts scale, and its persistence file. The scaling
// itself builds on these stored values.

#include "framework/control.h"

namespace elastic {

class TElasticForm : public framework::Component {
public:
    explicit TElasticForm(framework::Component* owner);

    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }
    static void registerClass();

    bool ElasticHorizontal() const { return m_elasticHorizontal; }
    void SetElasticHorizontal(bool value) { m_elasticHorizontal = value; }
    bool ElasticVertical() const { return m_elasticVertical; }
    void SetElasticVertical(bool value) { m_elasticVertical = value; }
    bool ElasticFont() const { return m_elasticFont; }
    void SetElasticFont(bool value) { m_elasticFont = value; }

    int DesignScreenWidth() const { return m_designScreenWidth; }
    void SetDesignScreenWidth(int value) { m_designScreenWidth = value; }
    int DesignScreenHeight() const { return m_designScreenHeight; }
    void SetDesignScreenHeight(int value) { m_designScreenHeight = value; }
    int DesignPixelsPerInch() const { return m_designPixelsPerInch; }
    void SetDesignPixelsPerInch(int value) { m_designPixelsPerInch = value; }

    int DesignFormWidth() const { return m_designFormWidth; }
    void SetDesignFormWidth(int value) { m_designFormWidth = value; }
    int DesignFormHeight() const { return m_designFormHeight; }
    void SetDesignFormHeight(int value) { m_designFormHeight = value; }
    int DesignFormClientWidth() const { return m_designFormClientWidth; }
    void SetDesignFormClientWidth(int value) { m_designFormClientWidth = value; }
    int DesignFormClientHeight() const { return m_designFormClientHeight; }
    void SetDesignFormClientHeight(int value) { m_designFormClientHeight = value; }
    int DesignFormLeft() const { return m_designFormLeft; }
    void SetDesignFormLeft(int value) { m_designFormLeft = value; }
    int DesignFormTop() const { return m_designFormTop; }
    void SetDesignFormTop(int value) { m_designFormTop = value; }

    const framework::FontSpec& Font() const { return m_font; }
    std::string fontName() const { return m_font.name; }
    void setFontName(const std::string& value) { m_font.name = value; }
    int fontHeight() const { return m_font.height; }
    void setFontHeight(int value) { m_font.height = value; }
    framework::SetValue fontStyle() const { return m_font.style; }
    void setFontStyle(const framework::SetValue& value) { m_font.style = value; }

    const std::string& ElFrmIniFile() const { return m_iniFile; }
    void SetElFrmIniFile(const std::string& value) { m_iniFile = value; }
    // Always reads 3.05, whatever is assigned.
    double Version() const { return 3.05; }
    void SetVersion(double /*value*/) {}

private:
    bool m_elasticHorizontal = true;
    bool m_elasticVertical = true;
    bool m_elasticFont = true;
    int m_designScreenWidth = 0;
    int m_designScreenHeight = 0;
    int m_designPixelsPerInch = 96;
    int m_designFormWidth = 0;
    int m_designFormHeight = 0;
    int m_designFormClientWidth = 0;
    int m_designFormClientHeight = 0;
    int m_designFormLeft = 0;
    int m_designFormTop = 0;
    framework::FontSpec m_font;
    std::string m_iniFile;
};

}  // namespace elastic
