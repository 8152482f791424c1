// Controls keep their whole state here, in plain C++; a backend only mirrors it.
#pragma once

#include "platform/Design.hpp"
#include "platform/Services.hpp"

#include <optional>
#include <string>

namespace tk {

class Form;

class Control {
public:
    Control(Form& form, const ControlDesign& design);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    int index() const { return index_; }
    ControlKind kind() const { return kind_; }
    Form& form() const { return form_; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; } // a timer: whether it runs
    int tabIndex() const { return tabIndex_; }

    // Each kind says how it shows: painted by the form (windowless), as a native child, or not
    // at all (a timer).
    virtual bool painted() const { return false; }
    virtual void paint(Canvas&) const {}
    // Where painting it reaches, in pixels of the client area: what to repaint when it changes.
    virtual RectPx paintedArea() const;
    virtual bool takesMouse() const { return false; } // the form's mouse events go to it
    // Its native child, all but what the form fills in (id, name, place, state), or none.
    virtual std::optional<NativeChild> nativeForm() const { return std::nullopt; }
    bool nativeChild() const { return nativeForm().has_value(); }
    virtual void nativeClicked() {} // the user pressed its native child
    // Its box in pixels of the client area.
    RectPx pixelArea() const {
        return {twipsToPixels(left_), twipsToPixels(top_), twipsToPixels(width_),
                twipsToPixels(height_)};
    }
    bool containsTwips(double x, double y) const {
        return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
    }

protected:
    void changed(); // repaint, or bring the native child in step
    void resize(int width, int height);
    void setEnabledState(bool on) { enabled_ = on; }

private:
    Form& form_;
    std::string name_;
    int index_;
    ControlKind kind_;
    int left_, top_, width_, height_;
    bool visible_, enabled_;
    int tabIndex_;
};

class Label final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Label;
    Label(Form& form, const ControlDesign& design);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string_view text);
    const Font& font() const { return font_; }
    Colour foreColour() const { return foreColour_; }
    Colour backColour() const { return backColour_; }
    bool transparent() const { return transparent_; }
    Align alignment() const { return alignment_; }
    bool autoSize() const { return autoSize_; }

    bool painted() const override { return true; }
    void paint(Canvas& canvas) const override;
    RectPx paintedArea() const override;
    bool takesMouse() const override { return visible() && enabled(); }

private:
    void fitCaption();

    std::string caption_;
    Font font_;
    Colour foreColour_, backColour_;
    bool transparent_;
    Align alignment_;
    bool autoSize_;
};

class Line final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Line;
    Line(Form& form, const ControlDesign& design);

    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    Colour colour() const { return colour_; }
    int borderWidth() const { return borderWidth_; }

    bool painted() const override { return true; }
    void paint(Canvas& canvas) const override;
    RectPx paintedArea() const override;

private:
    int x1_, y1_, x2_, y2_;
    Colour colour_;
    int borderWidth_;
};

class Shape final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Shape;
    Shape(Form& form, const ControlDesign& design);

    Colour colour() const { return colour_; }
    int borderWidth() const { return borderWidth_; }

    bool painted() const override { return true; }
    void paint(Canvas& canvas) const override;

private:
    Colour colour_;
    int borderWidth_;
};

class CheckBox final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::CheckBox;
    CheckBox(Form& form, const ControlDesign& design);

    const std::string& caption() const { return caption_; }
    const Font& font() const { return font_; }
    int value() const { return value_; }
    // Raises the box's Click after every change, from code or from the user.
    void setValue(int value);
    Colour backColour() const { return backColour_; }
    void setBackColour(Colour c);
    Colour foreColour() const { return foreColour_; }

    std::optional<NativeChild> nativeForm() const override;
    void nativeClicked() override { setValue(value_ == 1 ? 0 : 1); }

private:
    std::string caption_;
    Font font_;
    int value_;
    Colour backColour_, foreColour_;
};

class CommandButton final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::CommandButton;
    CommandButton(Form& form, const ControlDesign& design);

    const std::string& caption() const { return caption_; }
    const Font& font() const { return font_; }
    Colour backColour() const { return backColour_; }
    void setBackColour(Colour c);
    void click(); // raises the button's Click, as a press by the user does

    std::optional<NativeChild> nativeForm() const override;
    void nativeClicked() override { click(); }

private:
    std::string caption_;
    Font font_;
    Colour backColour_;
};

class Timer final : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Timer;
    Timer(Form& form, const ControlDesign& design);
    ~Timer() override;

    int interval() const { return interval_; }
    void setEnabled(bool on);

private:
    void restart();
    void stop();

    int interval_;
    int timerId_ = 0;
    TimerService* service_ = nullptr; // the one that started it stops it
};

// The control as its own kind, or null; the design's kind tells, so the page needs no run-time
// type information.
template <class T> const T* as(const Control* c) {
    return c && c->kind() == T::kKind ? static_cast<const T*>(c) : nullptr;
}

} // namespace tk
