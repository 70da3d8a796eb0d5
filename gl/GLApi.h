#pragma once
// OpenGL entry points resolved at run time. No system GL header is used: the
// types, enumerations and function-pointer table below are our own, so the
// core builds the same way natively and for Windows, and nothing links
// against a GL library at build time. The pointers are filled by
// LoadGLEntryPoints through a lookup supplied by the context driver.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define PYR_GLAPIENTRY __stdcall
#else
#define PYR_GLAPIENTRY
#endif

using GLenum = unsigned int;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLvoid = void;
using GLbyte = signed char;
using GLshort = short;
using GLint = int;
using GLubyte = unsigned char;
using GLushort = unsigned short;
using GLuint = unsigned int;
using GLsizei = int;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;
using GLclampd = double;

// ---- Enumerations (OpenGL 1.0 - 1.3 and the ARB multitexture extension) ----
inline constexpr GLenum GL_ARB_imaging = 1;
inline constexpr GLenum GL_FALSE = 0;
inline constexpr GLenum GL_TRUE = 1;
inline constexpr GLenum GL_BYTE = 0x1400;
inline constexpr GLenum GL_UNSIGNED_BYTE = 0x1401;
inline constexpr GLenum GL_SHORT = 0x1402;
inline constexpr GLenum GL_UNSIGNED_SHORT = 0x1403;
inline constexpr GLenum GL_INT = 0x1404;
inline constexpr GLenum GL_UNSIGNED_INT = 0x1405;
inline constexpr GLenum GL_FLOAT = 0x1406;
inline constexpr GLenum GL_2_BYTES = 0x1407;
inline constexpr GLenum GL_3_BYTES = 0x1408;
inline constexpr GLenum GL_4_BYTES = 0x1409;
inline constexpr GLenum GL_DOUBLE = 0x140A;
inline constexpr GLenum GL_POINTS = 0x0000;
inline constexpr GLenum GL_LINES = 0x0001;
inline constexpr GLenum GL_LINE_LOOP = 0x0002;
inline constexpr GLenum GL_LINE_STRIP = 0x0003;
inline constexpr GLenum GL_TRIANGLES = 0x0004;
inline constexpr GLenum GL_TRIANGLE_STRIP = 0x0005;
inline constexpr GLenum GL_TRIANGLE_FAN = 0x0006;
inline constexpr GLenum GL_QUADS = 0x0007;
inline constexpr GLenum GL_QUAD_STRIP = 0x0008;
inline constexpr GLenum GL_POLYGON = 0x0009;
inline constexpr GLenum GL_VERTEX_ARRAY = 0x8074;
inline constexpr GLenum GL_NORMAL_ARRAY = 0x8075;
inline constexpr GLenum GL_COLOR_ARRAY = 0x8076;
inline constexpr GLenum GL_INDEX_ARRAY = 0x8077;
inline constexpr GLenum GL_TEXTURE_COORD_ARRAY = 0x8078;
inline constexpr GLenum GL_EDGE_FLAG_ARRAY = 0x8079;
inline constexpr GLenum GL_VERTEX_ARRAY_SIZE = 0x807A;
inline constexpr GLenum GL_VERTEX_ARRAY_TYPE = 0x807B;
inline constexpr GLenum GL_VERTEX_ARRAY_STRIDE = 0x807C;
inline constexpr GLenum GL_NORMAL_ARRAY_TYPE = 0x807E;
inline constexpr GLenum GL_NORMAL_ARRAY_STRIDE = 0x807F;
inline constexpr GLenum GL_COLOR_ARRAY_SIZE = 0x8081;
inline constexpr GLenum GL_COLOR_ARRAY_TYPE = 0x8082;
inline constexpr GLenum GL_COLOR_ARRAY_STRIDE = 0x8083;
inline constexpr GLenum GL_INDEX_ARRAY_TYPE = 0x8085;
inline constexpr GLenum GL_INDEX_ARRAY_STRIDE = 0x8086;
inline constexpr GLenum GL_TEXTURE_COORD_ARRAY_SIZE = 0x8088;
inline constexpr GLenum GL_TEXTURE_COORD_ARRAY_TYPE = 0x8089;
inline constexpr GLenum GL_TEXTURE_COORD_ARRAY_STRIDE = 0x808A;
inline constexpr GLenum GL_EDGE_FLAG_ARRAY_STRIDE = 0x808C;
inline constexpr GLenum GL_VERTEX_ARRAY_POINTER = 0x808E;
inline constexpr GLenum GL_NORMAL_ARRAY_POINTER = 0x808F;
inline constexpr GLenum GL_COLOR_ARRAY_POINTER = 0x8090;
inline constexpr GLenum GL_INDEX_ARRAY_POINTER = 0x8091;
inline constexpr GLenum GL_TEXTURE_COORD_ARRAY_POINTER = 0x8092;
inline constexpr GLenum GL_EDGE_FLAG_ARRAY_POINTER = 0x8093;
inline constexpr GLenum GL_V2F = 0x2A20;
inline constexpr GLenum GL_V3F = 0x2A21;
inline constexpr GLenum GL_C4UB_V2F = 0x2A22;
inline constexpr GLenum GL_C4UB_V3F = 0x2A23;
inline constexpr GLenum GL_C3F_V3F = 0x2A24;
inline constexpr GLenum GL_N3F_V3F = 0x2A25;
inline constexpr GLenum GL_C4F_N3F_V3F = 0x2A26;
inline constexpr GLenum GL_T2F_V3F = 0x2A27;
inline constexpr GLenum GL_T4F_V4F = 0x2A28;
inline constexpr GLenum GL_T2F_C4UB_V3F = 0x2A29;
inline constexpr GLenum GL_T2F_C3F_V3F = 0x2A2A;
inline constexpr GLenum GL_T2F_N3F_V3F = 0x2A2B;
inline constexpr GLenum GL_T2F_C4F_N3F_V3F = 0x2A2C;
inline constexpr GLenum GL_T4F_C4F_N3F_V4F = 0x2A2D;
inline constexpr GLenum GL_MATRIX_MODE = 0x0BA0;
inline constexpr GLenum GL_MODELVIEW = 0x1700;
inline constexpr GLenum GL_PROJECTION = 0x1701;
inline constexpr GLenum GL_TEXTURE = 0x1702;
inline constexpr GLenum GL_POINT_SMOOTH = 0x0B10;
inline constexpr GLenum GL_POINT_SIZE = 0x0B11;
inline constexpr GLenum GL_POINT_SIZE_GRANULARITY = 0x0B13;
inline constexpr GLenum GL_POINT_SIZE_RANGE = 0x0B12;
inline constexpr GLenum GL_LINE_SMOOTH = 0x0B20;
inline constexpr GLenum GL_LINE_STIPPLE = 0x0B24;
inline constexpr GLenum GL_LINE_STIPPLE_PATTERN = 0x0B25;
inline constexpr GLenum GL_LINE_STIPPLE_REPEAT = 0x0B26;
inline constexpr GLenum GL_LINE_WIDTH = 0x0B21;
inline constexpr GLenum GL_LINE_WIDTH_GRANULARITY = 0x0B23;
inline constexpr GLenum GL_LINE_WIDTH_RANGE = 0x0B22;
inline constexpr GLenum GL_POINT = 0x1B00;
inline constexpr GLenum GL_LINE = 0x1B01;
inline constexpr GLenum GL_FILL = 0x1B02;
inline constexpr GLenum GL_CW = 0x0900;
inline constexpr GLenum GL_CCW = 0x0901;
inline constexpr GLenum GL_FRONT = 0x0404;
inline constexpr GLenum GL_BACK = 0x0405;
inline constexpr GLenum GL_POLYGON_MODE = 0x0B40;
inline constexpr GLenum GL_POLYGON_SMOOTH = 0x0B41;
inline constexpr GLenum GL_POLYGON_STIPPLE = 0x0B42;
inline constexpr GLenum GL_EDGE_FLAG = 0x0B43;
inline constexpr GLenum GL_CULL_FACE = 0x0B44;
inline constexpr GLenum GL_CULL_FACE_MODE = 0x0B45;
inline constexpr GLenum GL_FRONT_FACE = 0x0B46;
inline constexpr GLenum GL_POLYGON_OFFSET_FACTOR = 0x8038;
inline constexpr GLenum GL_POLYGON_OFFSET_UNITS = 0x2A00;
inline constexpr GLenum GL_POLYGON_OFFSET_POINT = 0x2A01;
inline constexpr GLenum GL_POLYGON_OFFSET_LINE = 0x2A02;
inline constexpr GLenum GL_POLYGON_OFFSET_FILL = 0x8037;
inline constexpr GLenum GL_COMPILE = 0x1300;
inline constexpr GLenum GL_COMPILE_AND_EXECUTE = 0x1301;
inline constexpr GLenum GL_LIST_BASE = 0x0B32;
inline constexpr GLenum GL_LIST_INDEX = 0x0B33;
inline constexpr GLenum GL_LIST_MODE = 0x0B30;
inline constexpr GLenum GL_NEVER = 0x0200;
inline constexpr GLenum GL_LESS = 0x0201;
inline constexpr GLenum GL_EQUAL = 0x0202;
inline constexpr GLenum GL_LEQUAL = 0x0203;
inline constexpr GLenum GL_GREATER = 0x0204;
inline constexpr GLenum GL_NOTEQUAL = 0x0205;
inline constexpr GLenum GL_GEQUAL = 0x0206;
inline constexpr GLenum GL_ALWAYS = 0x0207;
inline constexpr GLenum GL_DEPTH_TEST = 0x0B71;
inline constexpr GLenum GL_DEPTH_BITS = 0x0D56;
inline constexpr GLenum GL_DEPTH_CLEAR_VALUE = 0x0B73;
inline constexpr GLenum GL_DEPTH_FUNC = 0x0B74;
inline constexpr GLenum GL_DEPTH_RANGE = 0x0B70;
inline constexpr GLenum GL_DEPTH_WRITEMASK = 0x0B72;
inline constexpr GLenum GL_DEPTH_COMPONENT = 0x1902;
inline constexpr GLenum GL_LIGHTING = 0x0B50;
inline constexpr GLenum GL_LIGHT0 = 0x4000;
inline constexpr GLenum GL_LIGHT1 = 0x4001;
inline constexpr GLenum GL_LIGHT2 = 0x4002;
inline constexpr GLenum GL_LIGHT3 = 0x4003;
inline constexpr GLenum GL_LIGHT4 = 0x4004;
inline constexpr GLenum GL_LIGHT5 = 0x4005;
inline constexpr GLenum GL_LIGHT6 = 0x4006;
inline constexpr GLenum GL_LIGHT7 = 0x4007;
inline constexpr GLenum GL_SPOT_EXPONENT = 0x1205;
inline constexpr GLenum GL_SPOT_CUTOFF = 0x1206;
inline constexpr GLenum GL_CONSTANT_ATTENUATION = 0x1207;
inline constexpr GLenum GL_LINEAR_ATTENUATION = 0x1208;
inline constexpr GLenum GL_QUADRATIC_ATTENUATION = 0x1209;
inline constexpr GLenum GL_AMBIENT = 0x1200;
inline constexpr GLenum GL_DIFFUSE = 0x1201;
inline constexpr GLenum GL_SPECULAR = 0x1202;
inline constexpr GLenum GL_SHININESS = 0x1601;
inline constexpr GLenum GL_EMISSION = 0x1600;
inline constexpr GLenum GL_POSITION = 0x1203;
inline constexpr GLenum GL_SPOT_DIRECTION = 0x1204;
inline constexpr GLenum GL_AMBIENT_AND_DIFFUSE = 0x1602;
inline constexpr GLenum GL_COLOR_INDEXES = 0x1603;
inline constexpr GLenum GL_LIGHT_MODEL_TWO_SIDE = 0x0B52;
inline constexpr GLenum GL_LIGHT_MODEL_LOCAL_VIEWER = 0x0B51;
inline constexpr GLenum GL_LIGHT_MODEL_AMBIENT = 0x0B53;
inline constexpr GLenum GL_FRONT_AND_BACK = 0x0408;
inline constexpr GLenum GL_SHADE_MODEL = 0x0B54;
inline constexpr GLenum GL_FLAT = 0x1D00;
inline constexpr GLenum GL_SMOOTH = 0x1D01;
inline constexpr GLenum GL_COLOR_MATERIAL = 0x0B57;
inline constexpr GLenum GL_COLOR_MATERIAL_FACE = 0x0B55;
inline constexpr GLenum GL_COLOR_MATERIAL_PARAMETER = 0x0B56;
inline constexpr GLenum GL_NORMALIZE = 0x0BA1;
inline constexpr GLenum GL_CLIP_PLANE0 = 0x3000;
inline constexpr GLenum GL_CLIP_PLANE1 = 0x3001;
inline constexpr GLenum GL_CLIP_PLANE2 = 0x3002;
inline constexpr GLenum GL_CLIP_PLANE3 = 0x3003;
inline constexpr GLenum GL_CLIP_PLANE4 = 0x3004;
inline constexpr GLenum GL_CLIP_PLANE5 = 0x3005;
inline constexpr GLenum GL_ACCUM_RED_BITS = 0x0D58;
inline constexpr GLenum GL_ACCUM_GREEN_BITS = 0x0D59;
inline constexpr GLenum GL_ACCUM_BLUE_BITS = 0x0D5A;
inline constexpr GLenum GL_ACCUM_ALPHA_BITS = 0x0D5B;
inline constexpr GLenum GL_ACCUM_CLEAR_VALUE = 0x0B80;
inline constexpr GLenum GL_ACCUM = 0x0100;
inline constexpr GLenum GL_ADD = 0x0104;
inline constexpr GLenum GL_LOAD = 0x0101;
inline constexpr GLenum GL_MULT = 0x0103;
inline constexpr GLenum GL_RETURN = 0x0102;
inline constexpr GLenum GL_ALPHA_TEST = 0x0BC0;
inline constexpr GLenum GL_ALPHA_TEST_REF = 0x0BC2;
inline constexpr GLenum GL_ALPHA_TEST_FUNC = 0x0BC1;
inline constexpr GLenum GL_BLEND = 0x0BE2;
inline constexpr GLenum GL_BLEND_SRC = 0x0BE1;
inline constexpr GLenum GL_BLEND_DST = 0x0BE0;
inline constexpr GLenum GL_ZERO = 0;
inline constexpr GLenum GL_ONE = 1;
inline constexpr GLenum GL_SRC_COLOR = 0x0300;
inline constexpr GLenum GL_ONE_MINUS_SRC_COLOR = 0x0301;
inline constexpr GLenum GL_SRC_ALPHA = 0x0302;
inline constexpr GLenum GL_ONE_MINUS_SRC_ALPHA = 0x0303;
inline constexpr GLenum GL_DST_ALPHA = 0x0304;
inline constexpr GLenum GL_ONE_MINUS_DST_ALPHA = 0x0305;
inline constexpr GLenum GL_DST_COLOR = 0x0306;
inline constexpr GLenum GL_ONE_MINUS_DST_COLOR = 0x0307;
inline constexpr GLenum GL_SRC_ALPHA_SATURATE = 0x0308;
inline constexpr GLenum GL_FEEDBACK = 0x1C01;
inline constexpr GLenum GL_RENDER = 0x1C00;
inline constexpr GLenum GL_SELECT = 0x1C02;
inline constexpr GLenum GL_2D = 0x0600;
inline constexpr GLenum GL_3D = 0x0601;
inline constexpr GLenum GL_3D_COLOR = 0x0602;
inline constexpr GLenum GL_3D_COLOR_TEXTURE = 0x0603;
inline constexpr GLenum GL_4D_COLOR_TEXTURE = 0x0604;
inline constexpr GLenum GL_POINT_TOKEN = 0x0701;
inline constexpr GLenum GL_LINE_TOKEN = 0x0702;
inline constexpr GLenum GL_LINE_RESET_TOKEN = 0x0707;
inline constexpr GLenum GL_POLYGON_TOKEN = 0x0703;
inline constexpr GLenum GL_BITMAP_TOKEN = 0x0704;
inline constexpr GLenum GL_DRAW_PIXEL_TOKEN = 0x0705;
inline constexpr GLenum GL_COPY_PIXEL_TOKEN = 0x0706;
inline constexpr GLenum GL_PASS_THROUGH_TOKEN = 0x0700;
inline constexpr GLenum GL_FEEDBACK_BUFFER_POINTER = 0x0DF0;
inline constexpr GLenum GL_FEEDBACK_BUFFER_SIZE = 0x0DF1;
inline constexpr GLenum GL_FEEDBACK_BUFFER_TYPE = 0x0DF2;
inline constexpr GLenum GL_SELECTION_BUFFER_POINTER = 0x0DF3;
inline constexpr GLenum GL_SELECTION_BUFFER_SIZE = 0x0DF4;
inline constexpr GLenum GL_FOG = 0x0B60;
inline constexpr GLenum GL_FOG_MODE = 0x0B65;
inline constexpr GLenum GL_FOG_DENSITY = 0x0B62;
inline constexpr GLenum GL_FOG_COLOR = 0x0B66;
inline constexpr GLenum GL_FOG_INDEX = 0x0B61;
inline constexpr GLenum GL_FOG_START = 0x0B63;
inline constexpr GLenum GL_FOG_END = 0x0B64;
inline constexpr GLenum GL_LINEAR = 0x2601;
inline constexpr GLenum GL_EXP = 0x0800;
inline constexpr GLenum GL_EXP2 = 0x0801;
inline constexpr GLenum GL_LOGIC_OP = 0x0BF1;
inline constexpr GLenum GL_INDEX_LOGIC_OP = 0x0BF1;
inline constexpr GLenum GL_COLOR_LOGIC_OP = 0x0BF2;
inline constexpr GLenum GL_LOGIC_OP_MODE = 0x0BF0;
inline constexpr GLenum GL_CLEAR = 0x1500;
inline constexpr GLenum GL_SET = 0x150F;
inline constexpr GLenum GL_COPY = 0x1503;
inline constexpr GLenum GL_COPY_INVERTED = 0x150C;
inline constexpr GLenum GL_NOOP = 0x1505;
inline constexpr GLenum GL_INVERT = 0x150A;
inline constexpr GLenum GL_AND = 0x1501;
inline constexpr GLenum GL_NAND = 0x150E;
inline constexpr GLenum GL_OR = 0x1507;
inline constexpr GLenum GL_NOR = 0x1508;
inline constexpr GLenum GL_XOR = 0x1506;
inline constexpr GLenum GL_EQUIV = 0x1509;
inline constexpr GLenum GL_AND_REVERSE = 0x1502;
inline constexpr GLenum GL_AND_INVERTED = 0x1504;
inline constexpr GLenum GL_OR_REVERSE = 0x150B;
inline constexpr GLenum GL_OR_INVERTED = 0x150D;
inline constexpr GLenum GL_STENCIL_BITS = 0x0D57;
inline constexpr GLenum GL_STENCIL_TEST = 0x0B90;
inline constexpr GLenum GL_STENCIL_CLEAR_VALUE = 0x0B91;
inline constexpr GLenum GL_STENCIL_FUNC = 0x0B92;
inline constexpr GLenum GL_STENCIL_VALUE_MASK = 0x0B93;
inline constexpr GLenum GL_STENCIL_FAIL = 0x0B94;
inline constexpr GLenum GL_STENCIL_PASS_DEPTH_FAIL = 0x0B95;
inline constexpr GLenum GL_STENCIL_PASS_DEPTH_PASS = 0x0B96;
inline constexpr GLenum GL_STENCIL_REF = 0x0B97;
inline constexpr GLenum GL_STENCIL_WRITEMASK = 0x0B98;
inline constexpr GLenum GL_STENCIL_INDEX = 0x1901;
inline constexpr GLenum GL_KEEP = 0x1E00;
inline constexpr GLenum GL_REPLACE = 0x1E01;
inline constexpr GLenum GL_INCR = 0x1E02;
inline constexpr GLenum GL_DECR = 0x1E03;
inline constexpr GLenum GL_NONE = 0;
inline constexpr GLenum GL_LEFT = 0x0406;
inline constexpr GLenum GL_RIGHT = 0x0407;
inline constexpr GLenum GL_FRONT_LEFT = 0x0400;
inline constexpr GLenum GL_FRONT_RIGHT = 0x0401;
inline constexpr GLenum GL_BACK_LEFT = 0x0402;
inline constexpr GLenum GL_BACK_RIGHT = 0x0403;
inline constexpr GLenum GL_AUX0 = 0x0409;
inline constexpr GLenum GL_AUX1 = 0x040A;
inline constexpr GLenum GL_AUX2 = 0x040B;
inline constexpr GLenum GL_AUX3 = 0x040C;
inline constexpr GLenum GL_COLOR_INDEX = 0x1900;
inline constexpr GLenum GL_RED = 0x1903;
inline constexpr GLenum GL_GREEN = 0x1904;
inline constexpr GLenum GL_BLUE = 0x1905;
inline constexpr GLenum GL_ALPHA = 0x1906;
inline constexpr GLenum GL_LUMINANCE = 0x1909;
inline constexpr GLenum GL_LUMINANCE_ALPHA = 0x190A;
inline constexpr GLenum GL_ALPHA_BITS = 0x0D55;
inline constexpr GLenum GL_RED_BITS = 0x0D52;
inline constexpr GLenum GL_GREEN_BITS = 0x0D53;
inline constexpr GLenum GL_BLUE_BITS = 0x0D54;
inline constexpr GLenum GL_INDEX_BITS = 0x0D51;
inline constexpr GLenum GL_SUBPIXEL_BITS = 0x0D50;
inline constexpr GLenum GL_AUX_BUFFERS = 0x0C00;
inline constexpr GLenum GL_READ_BUFFER = 0x0C02;
// Framebuffer objects (OpenGL 3.0 / ARB_framebuffer_object), used for offscreen rendering.
inline constexpr GLenum GL_FRAMEBUFFER = 0x8D40;
inline constexpr GLenum GL_RENDERBUFFER = 0x8D41;
inline constexpr GLenum GL_COLOR_ATTACHMENT0 = 0x8CE0;
inline constexpr GLenum GL_DEPTH_ATTACHMENT = 0x8D00;
inline constexpr GLenum GL_STENCIL_ATTACHMENT = 0x8D20;
inline constexpr GLenum GL_DEPTH24_STENCIL8 = 0x88F0;
inline constexpr GLenum GL_DEPTH_COMPONENT16 = 0x81A5;
inline constexpr GLenum GL_DEPTH_COMPONENT24 = 0x81A6;
inline constexpr GLenum GL_DEPTH_COMPONENT32 = 0x81A7;
inline constexpr GLenum GL_DEPTH_STENCIL = 0x84F9;
inline constexpr GLenum GL_UNSIGNED_INT_24_8 = 0x84FA;
inline constexpr GLenum GL_DEPTH_STENCIL_ATTACHMENT = 0x821A;
inline constexpr GLenum GL_FRAMEBUFFER_COMPLETE = 0x8CD5;
inline constexpr GLenum GL_READ_FRAMEBUFFER = 0x8CA8;
inline constexpr GLenum GL_DRAW_FRAMEBUFFER = 0x8CA9;
inline constexpr GLenum GL_DRAW_FRAMEBUFFER_BINDING = 0x8CA6;
inline constexpr GLenum GL_READ_FRAMEBUFFER_BINDING = 0x8CAA;
inline constexpr GLenum GL_DRAW_BUFFER = 0x0C01;
inline constexpr GLenum GL_DOUBLEBUFFER = 0x0C32;
inline constexpr GLenum GL_STEREO = 0x0C33;
inline constexpr GLenum GL_BITMAP = 0x1A00;
inline constexpr GLenum GL_COLOR = 0x1800;
inline constexpr GLenum GL_DEPTH = 0x1801;
inline constexpr GLenum GL_STENCIL = 0x1802;
inline constexpr GLenum GL_DITHER = 0x0BD0;
inline constexpr GLenum GL_RGB = 0x1907;
inline constexpr GLenum GL_RGBA = 0x1908;
inline constexpr GLenum GL_MAX_LIST_NESTING = 0x0B31;
inline constexpr GLenum GL_MAX_EVAL_ORDER = 0x0D30;
inline constexpr GLenum GL_MAX_LIGHTS = 0x0D31;
inline constexpr GLenum GL_MAX_CLIP_PLANES = 0x0D32;
inline constexpr GLenum GL_MAX_TEXTURE_SIZE = 0x0D33;
inline constexpr GLenum GL_MAX_PIXEL_MAP_TABLE = 0x0D34;
inline constexpr GLenum GL_MAX_ATTRIB_STACK_DEPTH = 0x0D35;
inline constexpr GLenum GL_MAX_MODELVIEW_STACK_DEPTH = 0x0D36;
inline constexpr GLenum GL_MAX_NAME_STACK_DEPTH = 0x0D37;
inline constexpr GLenum GL_MAX_PROJECTION_STACK_DEPTH = 0x0D38;
inline constexpr GLenum GL_MAX_TEXTURE_STACK_DEPTH = 0x0D39;
inline constexpr GLenum GL_MAX_VIEWPORT_DIMS = 0x0D3A;
inline constexpr GLenum GL_MAX_CLIENT_ATTRIB_STACK_DEPTH = 0x0D3B;
inline constexpr GLenum GL_ATTRIB_STACK_DEPTH = 0x0BB0;
inline constexpr GLenum GL_CLIENT_ATTRIB_STACK_DEPTH = 0x0BB1;
inline constexpr GLenum GL_COLOR_CLEAR_VALUE = 0x0C22;
inline constexpr GLenum GL_COLOR_WRITEMASK = 0x0C23;
inline constexpr GLenum GL_CURRENT_INDEX = 0x0B01;
inline constexpr GLenum GL_CURRENT_COLOR = 0x0B00;
inline constexpr GLenum GL_CURRENT_NORMAL = 0x0B02;
inline constexpr GLenum GL_CURRENT_RASTER_COLOR = 0x0B04;
inline constexpr GLenum GL_CURRENT_RASTER_DISTANCE = 0x0B09;
inline constexpr GLenum GL_CURRENT_RASTER_INDEX = 0x0B05;
inline constexpr GLenum GL_CURRENT_RASTER_POSITION = 0x0B07;
inline constexpr GLenum GL_CURRENT_RASTER_TEXTURE_COORDS = 0x0B06;
inline constexpr GLenum GL_CURRENT_RASTER_POSITION_VALID = 0x0B08;
inline constexpr GLenum GL_CURRENT_TEXTURE_COORDS = 0x0B03;
inline constexpr GLenum GL_INDEX_CLEAR_VALUE = 0x0C20;
inline constexpr GLenum GL_INDEX_MODE = 0x0C30;
inline constexpr GLenum GL_INDEX_WRITEMASK = 0x0C21;
inline constexpr GLenum GL_MODELVIEW_MATRIX = 0x0BA6;
inline constexpr GLenum GL_MODELVIEW_STACK_DEPTH = 0x0BA3;
inline constexpr GLenum GL_NAME_STACK_DEPTH = 0x0D70;
inline constexpr GLenum GL_PROJECTION_MATRIX = 0x0BA7;
inline constexpr GLenum GL_PROJECTION_STACK_DEPTH = 0x0BA4;
inline constexpr GLenum GL_RENDER_MODE = 0x0C40;
inline constexpr GLenum GL_RGBA_MODE = 0x0C31;
inline constexpr GLenum GL_TEXTURE_MATRIX = 0x0BA8;
inline constexpr GLenum GL_TEXTURE_STACK_DEPTH = 0x0BA5;
inline constexpr GLenum GL_VIEWPORT = 0x0BA2;
inline constexpr GLenum GL_AUTO_NORMAL = 0x0D80;
inline constexpr GLenum GL_MAP1_COLOR_4 = 0x0D90;
inline constexpr GLenum GL_MAP1_INDEX = 0x0D91;
inline constexpr GLenum GL_MAP1_NORMAL = 0x0D92;
inline constexpr GLenum GL_MAP1_TEXTURE_COORD_1 = 0x0D93;
inline constexpr GLenum GL_MAP1_TEXTURE_COORD_2 = 0x0D94;
inline constexpr GLenum GL_MAP1_TEXTURE_COORD_3 = 0x0D95;
inline constexpr GLenum GL_MAP1_TEXTURE_COORD_4 = 0x0D96;
inline constexpr GLenum GL_MAP1_VERTEX_3 = 0x0D97;
inline constexpr GLenum GL_MAP1_VERTEX_4 = 0x0D98;
inline constexpr GLenum GL_MAP2_COLOR_4 = 0x0DB0;
inline constexpr GLenum GL_MAP2_INDEX = 0x0DB1;
inline constexpr GLenum GL_MAP2_NORMAL = 0x0DB2;
inline constexpr GLenum GL_MAP2_TEXTURE_COORD_1 = 0x0DB3;
inline constexpr GLenum GL_MAP2_TEXTURE_COORD_2 = 0x0DB4;
inline constexpr GLenum GL_MAP2_TEXTURE_COORD_3 = 0x0DB5;
inline constexpr GLenum GL_MAP2_TEXTURE_COORD_4 = 0x0DB6;
inline constexpr GLenum GL_MAP2_VERTEX_3 = 0x0DB7;
inline constexpr GLenum GL_MAP2_VERTEX_4 = 0x0DB8;
inline constexpr GLenum GL_MAP1_GRID_DOMAIN = 0x0DD0;
inline constexpr GLenum GL_MAP1_GRID_SEGMENTS = 0x0DD1;
inline constexpr GLenum GL_MAP2_GRID_DOMAIN = 0x0DD2;
inline constexpr GLenum GL_MAP2_GRID_SEGMENTS = 0x0DD3;
inline constexpr GLenum GL_COEFF = 0x0A00;
inline constexpr GLenum GL_ORDER = 0x0A01;
inline constexpr GLenum GL_DOMAIN = 0x0A02;
inline constexpr GLenum GL_PERSPECTIVE_CORRECTION_HINT = 0x0C50;
inline constexpr GLenum GL_POINT_SMOOTH_HINT = 0x0C51;
inline constexpr GLenum GL_LINE_SMOOTH_HINT = 0x0C52;
inline constexpr GLenum GL_POLYGON_SMOOTH_HINT = 0x0C53;
inline constexpr GLenum GL_FOG_HINT = 0x0C54;
inline constexpr GLenum GL_DONT_CARE = 0x1100;
inline constexpr GLenum GL_FASTEST = 0x1101;
inline constexpr GLenum GL_NICEST = 0x1102;
inline constexpr GLenum GL_SCISSOR_BOX = 0x0C10;
inline constexpr GLenum GL_SCISSOR_TEST = 0x0C11;
inline constexpr GLenum GL_MAP_COLOR = 0x0D10;
inline constexpr GLenum GL_MAP_STENCIL = 0x0D11;
inline constexpr GLenum GL_INDEX_SHIFT = 0x0D12;
inline constexpr GLenum GL_INDEX_OFFSET = 0x0D13;
inline constexpr GLenum GL_RED_SCALE = 0x0D14;
inline constexpr GLenum GL_RED_BIAS = 0x0D15;
inline constexpr GLenum GL_GREEN_SCALE = 0x0D18;
inline constexpr GLenum GL_GREEN_BIAS = 0x0D19;
inline constexpr GLenum GL_BLUE_SCALE = 0x0D1A;
inline constexpr GLenum GL_BLUE_BIAS = 0x0D1B;
inline constexpr GLenum GL_ALPHA_SCALE = 0x0D1C;
inline constexpr GLenum GL_ALPHA_BIAS = 0x0D1D;
inline constexpr GLenum GL_DEPTH_SCALE = 0x0D1E;
inline constexpr GLenum GL_DEPTH_BIAS = 0x0D1F;
inline constexpr GLenum GL_PIXEL_MAP_S_TO_S_SIZE = 0x0CB1;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_I_SIZE = 0x0CB0;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_R_SIZE = 0x0CB2;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_G_SIZE = 0x0CB3;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_B_SIZE = 0x0CB4;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_A_SIZE = 0x0CB5;
inline constexpr GLenum GL_PIXEL_MAP_R_TO_R_SIZE = 0x0CB6;
inline constexpr GLenum GL_PIXEL_MAP_G_TO_G_SIZE = 0x0CB7;
inline constexpr GLenum GL_PIXEL_MAP_B_TO_B_SIZE = 0x0CB8;
inline constexpr GLenum GL_PIXEL_MAP_A_TO_A_SIZE = 0x0CB9;
inline constexpr GLenum GL_PIXEL_MAP_S_TO_S = 0x0C71;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_I = 0x0C70;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_R = 0x0C72;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_G = 0x0C73;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_B = 0x0C74;
inline constexpr GLenum GL_PIXEL_MAP_I_TO_A = 0x0C75;
inline constexpr GLenum GL_PIXEL_MAP_R_TO_R = 0x0C76;
inline constexpr GLenum GL_PIXEL_MAP_G_TO_G = 0x0C77;
inline constexpr GLenum GL_PIXEL_MAP_B_TO_B = 0x0C78;
inline constexpr GLenum GL_PIXEL_MAP_A_TO_A = 0x0C79;
inline constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05;
inline constexpr GLenum GL_PACK_LSB_FIRST = 0x0D01;
inline constexpr GLenum GL_PACK_ROW_LENGTH = 0x0D02;
inline constexpr GLenum GL_PACK_SKIP_PIXELS = 0x0D04;
inline constexpr GLenum GL_PACK_SKIP_ROWS = 0x0D03;
inline constexpr GLenum GL_PACK_SWAP_BYTES = 0x0D00;
inline constexpr GLenum GL_UNPACK_ALIGNMENT = 0x0CF5;
inline constexpr GLenum GL_UNPACK_LSB_FIRST = 0x0CF1;
inline constexpr GLenum GL_UNPACK_ROW_LENGTH = 0x0CF2;
inline constexpr GLenum GL_UNPACK_SKIP_PIXELS = 0x0CF4;
inline constexpr GLenum GL_UNPACK_SKIP_ROWS = 0x0CF3;
inline constexpr GLenum GL_UNPACK_SWAP_BYTES = 0x0CF0;
inline constexpr GLenum GL_ZOOM_X = 0x0D16;
inline constexpr GLenum GL_ZOOM_Y = 0x0D17;
inline constexpr GLenum GL_TEXTURE_ENV = 0x2300;
inline constexpr GLenum GL_TEXTURE_ENV_MODE = 0x2200;
inline constexpr GLenum GL_TEXTURE_1D = 0x0DE0;
inline constexpr GLenum GL_TEXTURE_2D = 0x0DE1;
inline constexpr GLenum GL_TEXTURE_WRAP_S = 0x2802;
inline constexpr GLenum GL_TEXTURE_WRAP_T = 0x2803;
inline constexpr GLenum GL_TEXTURE_MAG_FILTER = 0x2800;
inline constexpr GLenum GL_TEXTURE_MIN_FILTER = 0x2801;
inline constexpr GLenum GL_TEXTURE_ENV_COLOR = 0x2201;
inline constexpr GLenum GL_TEXTURE_GEN_S = 0x0C60;
inline constexpr GLenum GL_TEXTURE_GEN_T = 0x0C61;
inline constexpr GLenum GL_TEXTURE_GEN_R = 0x0C62;
inline constexpr GLenum GL_TEXTURE_GEN_Q = 0x0C63;
inline constexpr GLenum GL_TEXTURE_GEN_MODE = 0x2500;
inline constexpr GLenum GL_TEXTURE_BORDER_COLOR = 0x1004;
inline constexpr GLenum GL_TEXTURE_WIDTH = 0x1000;
inline constexpr GLenum GL_TEXTURE_HEIGHT = 0x1001;
inline constexpr GLenum GL_TEXTURE_BORDER = 0x1005;
inline constexpr GLenum GL_TEXTURE_COMPONENTS = 0x1003;
inline constexpr GLenum GL_TEXTURE_RED_SIZE = 0x805C;
inline constexpr GLenum GL_TEXTURE_GREEN_SIZE = 0x805D;
inline constexpr GLenum GL_TEXTURE_BLUE_SIZE = 0x805E;
inline constexpr GLenum GL_TEXTURE_ALPHA_SIZE = 0x805F;
inline constexpr GLenum GL_TEXTURE_LUMINANCE_SIZE = 0x8060;
inline constexpr GLenum GL_TEXTURE_INTENSITY_SIZE = 0x8061;
inline constexpr GLenum GL_NEAREST_MIPMAP_NEAREST = 0x2700;
inline constexpr GLenum GL_NEAREST_MIPMAP_LINEAR = 0x2702;
inline constexpr GLenum GL_LINEAR_MIPMAP_NEAREST = 0x2701;
inline constexpr GLenum GL_LINEAR_MIPMAP_LINEAR = 0x2703;
inline constexpr GLenum GL_OBJECT_LINEAR = 0x2401;
inline constexpr GLenum GL_OBJECT_PLANE = 0x2501;
inline constexpr GLenum GL_EYE_LINEAR = 0x2400;
inline constexpr GLenum GL_EYE_PLANE = 0x2502;
inline constexpr GLenum GL_SPHERE_MAP = 0x2402;
inline constexpr GLenum GL_DECAL = 0x2101;
inline constexpr GLenum GL_MODULATE = 0x2100;
inline constexpr GLenum GL_NEAREST = 0x2600;
inline constexpr GLenum GL_REPEAT = 0x2901;
inline constexpr GLenum GL_CLAMP = 0x2900;
inline constexpr GLenum GL_S = 0x2000;
inline constexpr GLenum GL_T = 0x2001;
inline constexpr GLenum GL_R = 0x2002;
inline constexpr GLenum GL_Q = 0x2003;
inline constexpr GLenum GL_VENDOR = 0x1F00;
inline constexpr GLenum GL_RENDERER = 0x1F01;
inline constexpr GLenum GL_VERSION = 0x1F02;
inline constexpr GLenum GL_EXTENSIONS = 0x1F03;
inline constexpr GLenum GL_NO_ERROR = 0;
inline constexpr GLenum GL_INVALID_ENUM = 0x0500;
inline constexpr GLenum GL_INVALID_VALUE = 0x0501;
inline constexpr GLenum GL_INVALID_OPERATION = 0x0502;
inline constexpr GLenum GL_STACK_OVERFLOW = 0x0503;
inline constexpr GLenum GL_STACK_UNDERFLOW = 0x0504;
inline constexpr GLenum GL_OUT_OF_MEMORY = 0x0505;
inline constexpr GLenum GL_CURRENT_BIT = 0x00000001;
inline constexpr GLenum GL_POINT_BIT = 0x00000002;
inline constexpr GLenum GL_LINE_BIT = 0x00000004;
inline constexpr GLenum GL_POLYGON_BIT = 0x00000008;
inline constexpr GLenum GL_POLYGON_STIPPLE_BIT = 0x00000010;
inline constexpr GLenum GL_PIXEL_MODE_BIT = 0x00000020;
inline constexpr GLenum GL_LIGHTING_BIT = 0x00000040;
inline constexpr GLenum GL_FOG_BIT = 0x00000080;
inline constexpr GLenum GL_DEPTH_BUFFER_BIT = 0x00000100;
inline constexpr GLenum GL_ACCUM_BUFFER_BIT = 0x00000200;
inline constexpr GLenum GL_STENCIL_BUFFER_BIT = 0x00000400;
inline constexpr GLenum GL_VIEWPORT_BIT = 0x00000800;
inline constexpr GLenum GL_TRANSFORM_BIT = 0x00001000;
inline constexpr GLenum GL_ENABLE_BIT = 0x00002000;
inline constexpr GLenum GL_COLOR_BUFFER_BIT = 0x00004000;
inline constexpr GLenum GL_HINT_BIT = 0x00008000;
inline constexpr GLenum GL_EVAL_BIT = 0x00010000;
inline constexpr GLenum GL_LIST_BIT = 0x00020000;
inline constexpr GLenum GL_TEXTURE_BIT = 0x00040000;
inline constexpr GLenum GL_SCISSOR_BIT = 0x00080000;
inline constexpr GLenum GL_ALL_ATTRIB_BITS = 0xFFFFFFFF;
inline constexpr GLenum GL_PROXY_TEXTURE_1D = 0x8063;
inline constexpr GLenum GL_PROXY_TEXTURE_2D = 0x8064;
inline constexpr GLenum GL_TEXTURE_PRIORITY = 0x8066;
inline constexpr GLenum GL_TEXTURE_RESIDENT = 0x8067;
inline constexpr GLenum GL_TEXTURE_BINDING_1D = 0x8068;
inline constexpr GLenum GL_TEXTURE_BINDING_2D = 0x8069;
inline constexpr GLenum GL_TEXTURE_INTERNAL_FORMAT = 0x1003;
inline constexpr GLenum GL_ALPHA4 = 0x803B;
inline constexpr GLenum GL_ALPHA8 = 0x803C;
inline constexpr GLenum GL_ALPHA12 = 0x803D;
inline constexpr GLenum GL_ALPHA16 = 0x803E;
inline constexpr GLenum GL_LUMINANCE4 = 0x803F;
inline constexpr GLenum GL_LUMINANCE8 = 0x8040;
inline constexpr GLenum GL_LUMINANCE12 = 0x8041;
inline constexpr GLenum GL_LUMINANCE16 = 0x8042;
inline constexpr GLenum GL_LUMINANCE4_ALPHA4 = 0x8043;
inline constexpr GLenum GL_LUMINANCE6_ALPHA2 = 0x8044;
inline constexpr GLenum GL_LUMINANCE8_ALPHA8 = 0x8045;
inline constexpr GLenum GL_LUMINANCE12_ALPHA4 = 0x8046;
inline constexpr GLenum GL_LUMINANCE12_ALPHA12 = 0x8047;
inline constexpr GLenum GL_LUMINANCE16_ALPHA16 = 0x8048;
inline constexpr GLenum GL_INTENSITY = 0x8049;
inline constexpr GLenum GL_INTENSITY4 = 0x804A;
inline constexpr GLenum GL_INTENSITY8 = 0x804B;
inline constexpr GLenum GL_INTENSITY12 = 0x804C;
inline constexpr GLenum GL_INTENSITY16 = 0x804D;
inline constexpr GLenum GL_R3_G3_B2 = 0x2A10;
inline constexpr GLenum GL_RGB4 = 0x804F;
inline constexpr GLenum GL_RGB5 = 0x8050;
inline constexpr GLenum GL_RGB8 = 0x8051;
inline constexpr GLenum GL_RGB10 = 0x8052;
inline constexpr GLenum GL_RGB12 = 0x8053;
inline constexpr GLenum GL_RGB16 = 0x8054;
inline constexpr GLenum GL_RGBA2 = 0x8055;
inline constexpr GLenum GL_RGBA4 = 0x8056;
inline constexpr GLenum GL_RGB5_A1 = 0x8057;
inline constexpr GLenum GL_RGBA8 = 0x8058;
inline constexpr GLenum GL_RGB10_A2 = 0x8059;
inline constexpr GLenum GL_RGBA12 = 0x805A;
inline constexpr GLenum GL_RGBA16 = 0x805B;
inline constexpr GLenum GL_CLIENT_PIXEL_STORE_BIT = 0x00000001;
inline constexpr GLenum GL_CLIENT_VERTEX_ARRAY_BIT = 0x00000002;
inline constexpr GLenum GL_ALL_CLIENT_ATTRIB_BITS = 0xFFFFFFFF;
inline constexpr GLenum GL_CLIENT_ALL_ATTRIB_BITS = 0xFFFFFFFF;
inline constexpr GLenum GL_RESCALE_NORMAL = 0x803A;
inline constexpr GLenum GL_CLAMP_TO_EDGE = 0x812F;
inline constexpr GLenum GL_MAX_ELEMENTS_VERTICES = 0x80E8;
inline constexpr GLenum GL_MAX_ELEMENTS_INDICES = 0x80E9;
inline constexpr GLenum GL_BGR = 0x80E0;
inline constexpr GLenum GL_BGRA = 0x80E1;
inline constexpr GLenum GL_UNSIGNED_BYTE_3_3_2 = 0x8032;
inline constexpr GLenum GL_UNSIGNED_BYTE_2_3_3_REV = 0x8362;
inline constexpr GLenum GL_UNSIGNED_SHORT_5_6_5 = 0x8363;
inline constexpr GLenum GL_UNSIGNED_SHORT_5_6_5_REV = 0x8364;
inline constexpr GLenum GL_UNSIGNED_SHORT_4_4_4_4 = 0x8033;
inline constexpr GLenum GL_UNSIGNED_SHORT_4_4_4_4_REV = 0x8365;
inline constexpr GLenum GL_UNSIGNED_SHORT_5_5_5_1 = 0x8034;
inline constexpr GLenum GL_UNSIGNED_SHORT_1_5_5_5_REV = 0x8366;
inline constexpr GLenum GL_UNSIGNED_INT_8_8_8_8 = 0x8035;
inline constexpr GLenum GL_UNSIGNED_INT_8_8_8_8_REV = 0x8367;
inline constexpr GLenum GL_UNSIGNED_INT_10_10_10_2 = 0x8036;
inline constexpr GLenum GL_UNSIGNED_INT_2_10_10_10_REV = 0x8368;
inline constexpr GLenum GL_LIGHT_MODEL_COLOR_CONTROL = 0x81F8;
inline constexpr GLenum GL_SINGLE_COLOR = 0x81F9;
inline constexpr GLenum GL_SEPARATE_SPECULAR_COLOR = 0x81FA;
inline constexpr GLenum GL_TEXTURE_MIN_LOD = 0x813A;
inline constexpr GLenum GL_TEXTURE_MAX_LOD = 0x813B;
inline constexpr GLenum GL_TEXTURE_BASE_LEVEL = 0x813C;
inline constexpr GLenum GL_TEXTURE_MAX_LEVEL = 0x813D;
inline constexpr GLenum GL_SMOOTH_POINT_SIZE_RANGE = 0x0B12;
inline constexpr GLenum GL_SMOOTH_POINT_SIZE_GRANULARITY = 0x0B13;
inline constexpr GLenum GL_SMOOTH_LINE_WIDTH_RANGE = 0x0B22;
inline constexpr GLenum GL_SMOOTH_LINE_WIDTH_GRANULARITY = 0x0B23;
inline constexpr GLenum GL_ALIASED_POINT_SIZE_RANGE = 0x846D;
inline constexpr GLenum GL_ALIASED_LINE_WIDTH_RANGE = 0x846E;
inline constexpr GLenum GL_PACK_SKIP_IMAGES = 0x806B;
inline constexpr GLenum GL_PACK_IMAGE_HEIGHT = 0x806C;
inline constexpr GLenum GL_UNPACK_SKIP_IMAGES = 0x806D;
inline constexpr GLenum GL_UNPACK_IMAGE_HEIGHT = 0x806E;
inline constexpr GLenum GL_TEXTURE_3D = 0x806F;
inline constexpr GLenum GL_PROXY_TEXTURE_3D = 0x8070;
inline constexpr GLenum GL_TEXTURE_DEPTH = 0x8071;
inline constexpr GLenum GL_TEXTURE_WRAP_R = 0x8072;
inline constexpr GLenum GL_MAX_3D_TEXTURE_SIZE = 0x8073;
inline constexpr GLenum GL_TEXTURE_BINDING_3D = 0x806A;
inline constexpr GLenum GL_CONSTANT_COLOR = 0x8001;
inline constexpr GLenum GL_ONE_MINUS_CONSTANT_COLOR = 0x8002;
inline constexpr GLenum GL_CONSTANT_ALPHA = 0x8003;
inline constexpr GLenum GL_ONE_MINUS_CONSTANT_ALPHA = 0x8004;
inline constexpr GLenum GL_COLOR_TABLE = 0x80D0;
inline constexpr GLenum GL_POST_CONVOLUTION_COLOR_TABLE = 0x80D1;
inline constexpr GLenum GL_POST_COLOR_MATRIX_COLOR_TABLE = 0x80D2;
inline constexpr GLenum GL_PROXY_COLOR_TABLE = 0x80D3;
inline constexpr GLenum GL_PROXY_POST_CONVOLUTION_COLOR_TABLE = 0x80D4;
inline constexpr GLenum GL_PROXY_POST_COLOR_MATRIX_COLOR_TABLE = 0x80D5;
inline constexpr GLenum GL_COLOR_TABLE_SCALE = 0x80D6;
inline constexpr GLenum GL_COLOR_TABLE_BIAS = 0x80D7;
inline constexpr GLenum GL_COLOR_TABLE_FORMAT = 0x80D8;
inline constexpr GLenum GL_COLOR_TABLE_WIDTH = 0x80D9;
inline constexpr GLenum GL_COLOR_TABLE_RED_SIZE = 0x80DA;
inline constexpr GLenum GL_COLOR_TABLE_GREEN_SIZE = 0x80DB;
inline constexpr GLenum GL_COLOR_TABLE_BLUE_SIZE = 0x80DC;
inline constexpr GLenum GL_COLOR_TABLE_ALPHA_SIZE = 0x80DD;
inline constexpr GLenum GL_COLOR_TABLE_LUMINANCE_SIZE = 0x80DE;
inline constexpr GLenum GL_COLOR_TABLE_INTENSITY_SIZE = 0x80DF;
inline constexpr GLenum GL_CONVOLUTION_1D = 0x8010;
inline constexpr GLenum GL_CONVOLUTION_2D = 0x8011;
inline constexpr GLenum GL_SEPARABLE_2D = 0x8012;
inline constexpr GLenum GL_CONVOLUTION_BORDER_MODE = 0x8013;
inline constexpr GLenum GL_CONVOLUTION_FILTER_SCALE = 0x8014;
inline constexpr GLenum GL_CONVOLUTION_FILTER_BIAS = 0x8015;
inline constexpr GLenum GL_REDUCE = 0x8016;
inline constexpr GLenum GL_CONVOLUTION_FORMAT = 0x8017;
inline constexpr GLenum GL_CONVOLUTION_WIDTH = 0x8018;
inline constexpr GLenum GL_CONVOLUTION_HEIGHT = 0x8019;
inline constexpr GLenum GL_MAX_CONVOLUTION_WIDTH = 0x801A;
inline constexpr GLenum GL_MAX_CONVOLUTION_HEIGHT = 0x801B;
inline constexpr GLenum GL_POST_CONVOLUTION_RED_SCALE = 0x801C;
inline constexpr GLenum GL_POST_CONVOLUTION_GREEN_SCALE = 0x801D;
inline constexpr GLenum GL_POST_CONVOLUTION_BLUE_SCALE = 0x801E;
inline constexpr GLenum GL_POST_CONVOLUTION_ALPHA_SCALE = 0x801F;
inline constexpr GLenum GL_POST_CONVOLUTION_RED_BIAS = 0x8020;
inline constexpr GLenum GL_POST_CONVOLUTION_GREEN_BIAS = 0x8021;
inline constexpr GLenum GL_POST_CONVOLUTION_BLUE_BIAS = 0x8022;
inline constexpr GLenum GL_POST_CONVOLUTION_ALPHA_BIAS = 0x8023;
inline constexpr GLenum GL_CONSTANT_BORDER = 0x8151;
inline constexpr GLenum GL_REPLICATE_BORDER = 0x8153;
inline constexpr GLenum GL_CONVOLUTION_BORDER_COLOR = 0x8154;
inline constexpr GLenum GL_COLOR_MATRIX = 0x80B1;
inline constexpr GLenum GL_COLOR_MATRIX_STACK_DEPTH = 0x80B2;
inline constexpr GLenum GL_MAX_COLOR_MATRIX_STACK_DEPTH = 0x80B3;
inline constexpr GLenum GL_POST_COLOR_MATRIX_RED_SCALE = 0x80B4;
inline constexpr GLenum GL_POST_COLOR_MATRIX_GREEN_SCALE = 0x80B5;
inline constexpr GLenum GL_POST_COLOR_MATRIX_BLUE_SCALE = 0x80B6;
inline constexpr GLenum GL_POST_COLOR_MATRIX_ALPHA_SCALE = 0x80B7;
inline constexpr GLenum GL_POST_COLOR_MATRIX_RED_BIAS = 0x80B8;
inline constexpr GLenum GL_POST_COLOR_MATRIX_GREEN_BIAS = 0x80B9;
inline constexpr GLenum GL_POST_COLOR_MATRIX_BLUE_BIAS = 0x80BA;
inline constexpr GLenum GL_POST_COLOR_MATRIX_ALPHA_BIAS = 0x80BB;
inline constexpr GLenum GL_HISTOGRAM = 0x8024;
inline constexpr GLenum GL_PROXY_HISTOGRAM = 0x8025;
inline constexpr GLenum GL_HISTOGRAM_WIDTH = 0x8026;
inline constexpr GLenum GL_HISTOGRAM_FORMAT = 0x8027;
inline constexpr GLenum GL_HISTOGRAM_RED_SIZE = 0x8028;
inline constexpr GLenum GL_HISTOGRAM_GREEN_SIZE = 0x8029;
inline constexpr GLenum GL_HISTOGRAM_BLUE_SIZE = 0x802A;
inline constexpr GLenum GL_HISTOGRAM_ALPHA_SIZE = 0x802B;
inline constexpr GLenum GL_HISTOGRAM_LUMINANCE_SIZE = 0x802C;
inline constexpr GLenum GL_HISTOGRAM_SINK = 0x802D;
inline constexpr GLenum GL_MINMAX = 0x802E;
inline constexpr GLenum GL_MINMAX_FORMAT = 0x802F;
inline constexpr GLenum GL_MINMAX_SINK = 0x8030;
inline constexpr GLenum GL_TABLE_TOO_LARGE = 0x8031;
inline constexpr GLenum GL_BLEND_EQUATION = 0x8009;
inline constexpr GLenum GL_MIN = 0x8007;
inline constexpr GLenum GL_MAX = 0x8008;
inline constexpr GLenum GL_FUNC_ADD = 0x8006;
inline constexpr GLenum GL_FUNC_SUBTRACT = 0x800A;
inline constexpr GLenum GL_FUNC_REVERSE_SUBTRACT = 0x800B;
inline constexpr GLenum GL_BLEND_COLOR = 0x8005;
inline constexpr GLenum GL_TEXTURE0 = 0x84C0;
inline constexpr GLenum GL_TEXTURE1 = 0x84C1;
inline constexpr GLenum GL_TEXTURE2 = 0x84C2;
inline constexpr GLenum GL_TEXTURE3 = 0x84C3;
inline constexpr GLenum GL_TEXTURE4 = 0x84C4;
inline constexpr GLenum GL_TEXTURE5 = 0x84C5;
inline constexpr GLenum GL_TEXTURE6 = 0x84C6;
inline constexpr GLenum GL_TEXTURE7 = 0x84C7;
inline constexpr GLenum GL_TEXTURE8 = 0x84C8;
inline constexpr GLenum GL_TEXTURE9 = 0x84C9;
inline constexpr GLenum GL_TEXTURE10 = 0x84CA;
inline constexpr GLenum GL_TEXTURE11 = 0x84CB;
inline constexpr GLenum GL_TEXTURE12 = 0x84CC;
inline constexpr GLenum GL_TEXTURE13 = 0x84CD;
inline constexpr GLenum GL_TEXTURE14 = 0x84CE;
inline constexpr GLenum GL_TEXTURE15 = 0x84CF;
inline constexpr GLenum GL_TEXTURE16 = 0x84D0;
inline constexpr GLenum GL_TEXTURE17 = 0x84D1;
inline constexpr GLenum GL_TEXTURE18 = 0x84D2;
inline constexpr GLenum GL_TEXTURE19 = 0x84D3;
inline constexpr GLenum GL_TEXTURE20 = 0x84D4;
inline constexpr GLenum GL_TEXTURE21 = 0x84D5;
inline constexpr GLenum GL_TEXTURE22 = 0x84D6;
inline constexpr GLenum GL_TEXTURE23 = 0x84D7;
inline constexpr GLenum GL_TEXTURE24 = 0x84D8;
inline constexpr GLenum GL_TEXTURE25 = 0x84D9;
inline constexpr GLenum GL_TEXTURE26 = 0x84DA;
inline constexpr GLenum GL_TEXTURE27 = 0x84DB;
inline constexpr GLenum GL_TEXTURE28 = 0x84DC;
inline constexpr GLenum GL_TEXTURE29 = 0x84DD;
inline constexpr GLenum GL_TEXTURE30 = 0x84DE;
inline constexpr GLenum GL_TEXTURE31 = 0x84DF;
inline constexpr GLenum GL_ACTIVE_TEXTURE = 0x84E0;
inline constexpr GLenum GL_CLIENT_ACTIVE_TEXTURE = 0x84E1;
inline constexpr GLenum GL_MAX_TEXTURE_UNITS = 0x84E2;
inline constexpr GLenum GL_NORMAL_MAP = 0x8511;
inline constexpr GLenum GL_REFLECTION_MAP = 0x8512;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP = 0x8513;
inline constexpr GLenum GL_TEXTURE_BINDING_CUBE_MAP = 0x8514;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_POSITIVE_X = 0x8515;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_NEGATIVE_X = 0x8516;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_POSITIVE_Y = 0x8517;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_NEGATIVE_Y = 0x8518;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_POSITIVE_Z = 0x8519;
inline constexpr GLenum GL_TEXTURE_CUBE_MAP_NEGATIVE_Z = 0x851A;
inline constexpr GLenum GL_PROXY_TEXTURE_CUBE_MAP = 0x851B;
inline constexpr GLenum GL_MAX_CUBE_MAP_TEXTURE_SIZE = 0x851C;
inline constexpr GLenum GL_COMPRESSED_ALPHA = 0x84E9;
inline constexpr GLenum GL_COMPRESSED_LUMINANCE = 0x84EA;
inline constexpr GLenum GL_COMPRESSED_LUMINANCE_ALPHA = 0x84EB;
inline constexpr GLenum GL_COMPRESSED_INTENSITY = 0x84EC;
inline constexpr GLenum GL_COMPRESSED_RGB = 0x84ED;
inline constexpr GLenum GL_COMPRESSED_RGBA = 0x84EE;
inline constexpr GLenum GL_TEXTURE_COMPRESSION_HINT = 0x84EF;
inline constexpr GLenum GL_TEXTURE_COMPRESSED_IMAGE_SIZE = 0x86A0;
inline constexpr GLenum GL_TEXTURE_COMPRESSED = 0x86A1;
inline constexpr GLenum GL_NUM_COMPRESSED_TEXTURE_FORMATS = 0x86A2;
inline constexpr GLenum GL_COMPRESSED_TEXTURE_FORMATS = 0x86A3;
inline constexpr GLenum GL_MULTISAMPLE = 0x809D;
inline constexpr GLenum GL_SAMPLE_ALPHA_TO_COVERAGE = 0x809E;
inline constexpr GLenum GL_SAMPLE_ALPHA_TO_ONE = 0x809F;
inline constexpr GLenum GL_SAMPLE_COVERAGE = 0x80A0;
inline constexpr GLenum GL_SAMPLE_BUFFERS = 0x80A8;
inline constexpr GLenum GL_SAMPLES = 0x80A9;
inline constexpr GLenum GL_SAMPLE_COVERAGE_VALUE = 0x80AA;
inline constexpr GLenum GL_SAMPLE_COVERAGE_INVERT = 0x80AB;
inline constexpr GLenum GL_MULTISAMPLE_BIT = 0x20000000;
inline constexpr GLenum GL_TRANSPOSE_MODELVIEW_MATRIX = 0x84E3;
inline constexpr GLenum GL_TRANSPOSE_PROJECTION_MATRIX = 0x84E4;
inline constexpr GLenum GL_TRANSPOSE_TEXTURE_MATRIX = 0x84E5;
inline constexpr GLenum GL_TRANSPOSE_COLOR_MATRIX = 0x84E6;
inline constexpr GLenum GL_COMBINE = 0x8570;
inline constexpr GLenum GL_COMBINE_RGB = 0x8571;
inline constexpr GLenum GL_COMBINE_ALPHA = 0x8572;
inline constexpr GLenum GL_SOURCE0_RGB = 0x8580;
inline constexpr GLenum GL_SOURCE1_RGB = 0x8581;
inline constexpr GLenum GL_SOURCE2_RGB = 0x8582;
inline constexpr GLenum GL_SOURCE0_ALPHA = 0x8588;
inline constexpr GLenum GL_SOURCE1_ALPHA = 0x8589;
inline constexpr GLenum GL_SOURCE2_ALPHA = 0x858A;
inline constexpr GLenum GL_OPERAND0_RGB = 0x8590;
inline constexpr GLenum GL_OPERAND1_RGB = 0x8591;
inline constexpr GLenum GL_OPERAND2_RGB = 0x8592;
inline constexpr GLenum GL_OPERAND0_ALPHA = 0x8598;
inline constexpr GLenum GL_OPERAND1_ALPHA = 0x8599;
inline constexpr GLenum GL_OPERAND2_ALPHA = 0x859A;
inline constexpr GLenum GL_RGB_SCALE = 0x8573;
inline constexpr GLenum GL_ADD_SIGNED = 0x8574;
inline constexpr GLenum GL_INTERPOLATE = 0x8575;
inline constexpr GLenum GL_SUBTRACT = 0x84E7;
inline constexpr GLenum GL_CONSTANT = 0x8576;
inline constexpr GLenum GL_PRIMARY_COLOR = 0x8577;
inline constexpr GLenum GL_PREVIOUS = 0x8578;
inline constexpr GLenum GL_DOT3_RGB = 0x86AE;
inline constexpr GLenum GL_DOT3_RGBA = 0x86AF;
inline constexpr GLenum GL_CLAMP_TO_BORDER = 0x812D;
inline constexpr GLenum GL_TEXTURE0_ARB = 0x84C0;
inline constexpr GLenum GL_TEXTURE1_ARB = 0x84C1;
inline constexpr GLenum GL_TEXTURE2_ARB = 0x84C2;
inline constexpr GLenum GL_TEXTURE3_ARB = 0x84C3;
inline constexpr GLenum GL_TEXTURE4_ARB = 0x84C4;
inline constexpr GLenum GL_TEXTURE5_ARB = 0x84C5;
inline constexpr GLenum GL_TEXTURE6_ARB = 0x84C6;
inline constexpr GLenum GL_TEXTURE7_ARB = 0x84C7;
inline constexpr GLenum GL_TEXTURE8_ARB = 0x84C8;
inline constexpr GLenum GL_TEXTURE9_ARB = 0x84C9;
inline constexpr GLenum GL_TEXTURE10_ARB = 0x84CA;
inline constexpr GLenum GL_TEXTURE11_ARB = 0x84CB;
inline constexpr GLenum GL_TEXTURE12_ARB = 0x84CC;
inline constexpr GLenum GL_TEXTURE13_ARB = 0x84CD;
inline constexpr GLenum GL_TEXTURE14_ARB = 0x84CE;
inline constexpr GLenum GL_TEXTURE15_ARB = 0x84CF;
inline constexpr GLenum GL_TEXTURE16_ARB = 0x84D0;
inline constexpr GLenum GL_TEXTURE17_ARB = 0x84D1;
inline constexpr GLenum GL_TEXTURE18_ARB = 0x84D2;
inline constexpr GLenum GL_TEXTURE19_ARB = 0x84D3;
inline constexpr GLenum GL_TEXTURE20_ARB = 0x84D4;
inline constexpr GLenum GL_TEXTURE21_ARB = 0x84D5;
inline constexpr GLenum GL_TEXTURE22_ARB = 0x84D6;
inline constexpr GLenum GL_TEXTURE23_ARB = 0x84D7;
inline constexpr GLenum GL_TEXTURE24_ARB = 0x84D8;
inline constexpr GLenum GL_TEXTURE25_ARB = 0x84D9;
inline constexpr GLenum GL_TEXTURE26_ARB = 0x84DA;
inline constexpr GLenum GL_TEXTURE27_ARB = 0x84DB;
inline constexpr GLenum GL_TEXTURE28_ARB = 0x84DC;
inline constexpr GLenum GL_TEXTURE29_ARB = 0x84DD;
inline constexpr GLenum GL_TEXTURE30_ARB = 0x84DE;
inline constexpr GLenum GL_TEXTURE31_ARB = 0x84DF;
inline constexpr GLenum GL_ACTIVE_TEXTURE_ARB = 0x84E0;
inline constexpr GLenum GL_CLIENT_ACTIVE_TEXTURE_ARB = 0x84E1;
inline constexpr GLenum GL_MAX_TEXTURE_UNITS_ARB = 0x84E2;

// Extension enumerations used by the texture code.
inline constexpr GLenum GL_BGR_EXT = 0x80E0;
inline constexpr GLenum GL_BGRA_EXT = 0x80E1;
inline constexpr GLenum GL_COMPRESSED_RGB_ARB = 0x84ED;
inline constexpr GLenum GL_COMPRESSED_RGBA_ARB = 0x84EE;
inline constexpr GLenum GL_TEXTURE_COMPRESSION_HINT_ARB = 0x84EF;
inline constexpr GLenum GL_COMPRESSED_RGB_S3TC_DXT1_EXT = 0x83F0;
inline constexpr GLenum GL_COMPRESSED_RGBA_S3TC_DXT3_EXT = 0x83F2;

// ---- Entry points ----
// Every OpenGL 1.0/1.1 function, resolved from the library.
#define PYR_GL_CORE_FUNCS(X) \
    X(void, glClearIndex, (GLfloat c)) \
    X(void, glClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)) \
    X(void, glClear, (GLbitfield mask)) \
    X(void, glIndexMask, (GLuint mask)) \
    X(void, glColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha)) \
    X(void, glAlphaFunc, (GLenum func, GLclampf ref)) \
    X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor)) \
    X(void, glLogicOp, (GLenum opcode)) \
    X(void, glCullFace, (GLenum mode)) \
    X(void, glFrontFace, (GLenum mode)) \
    X(void, glPointSize, (GLfloat size)) \
    X(void, glLineWidth, (GLfloat width)) \
    X(void, glLineStipple, (GLint factor, GLushort pattern)) \
    X(void, glPolygonMode, (GLenum face, GLenum mode)) \
    X(void, glPolygonOffset, (GLfloat factor, GLfloat units)) \
    X(void, glPolygonStipple, (const GLubyte *mask)) \
    X(void, glGetPolygonStipple, (GLubyte *mask)) \
    X(void, glEdgeFlag, (GLboolean flag)) \
    X(void, glEdgeFlagv, (const GLboolean *flag)) \
    X(void, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height)) \
    X(void, glClipPlane, (GLenum plane, const GLdouble *equation)) \
    X(void, glGetClipPlane, (GLenum plane, GLdouble *equation)) \
    X(void, glDrawBuffer, (GLenum mode)) \
    X(void, glReadBuffer, (GLenum mode)) \
    X(void, glEnable, (GLenum cap)) \
    X(void, glDisable, (GLenum cap)) \
    X(GLboolean, glIsEnabled, (GLenum cap)) \
    X(void, glEnableClientState, (GLenum cap)) \
    X(void, glDisableClientState, (GLenum cap)) \
    X(void, glGetBooleanv, (GLenum pname, GLboolean *params)) \
    X(void, glGetDoublev, (GLenum pname, GLdouble *params)) \
    X(void, glGetFloatv, (GLenum pname, GLfloat *params)) \
    X(void, glGetIntegerv, (GLenum pname, GLint *params)) \
    X(void, glPushAttrib, (GLbitfield mask)) \
    X(void, glPopAttrib, ()) \
    X(void, glPushClientAttrib, (GLbitfield mask)) \
    X(void, glPopClientAttrib, ()) \
    X(GLint, glRenderMode, (GLenum mode)) \
    X(GLenum, glGetError, ()) \
    X(const GLubyte *, glGetString, (GLenum name)) \
    X(void, glFinish, ()) \
    X(void, glFlush, ()) \
    X(void, glHint, (GLenum target, GLenum mode)) \
    X(void, glClearDepth, (GLclampd depth)) \
    X(void, glDepthFunc, (GLenum func)) \
    X(void, glDepthMask, (GLboolean flag)) \
    X(void, glDepthRange, (GLclampd near_val, GLclampd far_val)) \
    X(void, glClearAccum, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)) \
    X(void, glAccum, (GLenum op, GLfloat value)) \
    X(void, glMatrixMode, (GLenum mode)) \
    X(void, glOrtho, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val)) \
    X(void, glFrustum, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val)) \
    X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height)) \
    X(void, glPushMatrix, ()) \
    X(void, glPopMatrix, ()) \
    X(void, glLoadIdentity, ()) \
    X(void, glLoadMatrixd, (const GLdouble *m)) \
    X(void, glLoadMatrixf, (const GLfloat *m)) \
    X(void, glMultMatrixd, (const GLdouble *m)) \
    X(void, glMultMatrixf, (const GLfloat *m)) \
    X(void, glRotated, (GLdouble angle, GLdouble x, GLdouble y, GLdouble z)) \
    X(void, glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z)) \
    X(void, glScaled, (GLdouble x, GLdouble y, GLdouble z)) \
    X(void, glScalef, (GLfloat x, GLfloat y, GLfloat z)) \
    X(void, glTranslated, (GLdouble x, GLdouble y, GLdouble z)) \
    X(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z)) \
    X(GLboolean, glIsList, (GLuint list)) \
    X(void, glDeleteLists, (GLuint list, GLsizei range)) \
    X(GLuint, glGenLists, (GLsizei range)) \
    X(void, glNewList, (GLuint list, GLenum mode)) \
    X(void, glEndList, ()) \
    X(void, glCallList, (GLuint list)) \
    X(void, glCallLists, (GLsizei n, GLenum type, const GLvoid *lists)) \
    X(void, glListBase, (GLuint base)) \
    X(void, glBegin, (GLenum mode)) \
    X(void, glEnd, ()) \
    X(void, glVertex2d, (GLdouble x, GLdouble y)) \
    X(void, glVertex2f, (GLfloat x, GLfloat y)) \
    X(void, glVertex2i, (GLint x, GLint y)) \
    X(void, glVertex2s, (GLshort x, GLshort y)) \
    X(void, glVertex3d, (GLdouble x, GLdouble y, GLdouble z)) \
    X(void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z)) \
    X(void, glVertex3i, (GLint x, GLint y, GLint z)) \
    X(void, glVertex3s, (GLshort x, GLshort y, GLshort z)) \
    X(void, glVertex4d, (GLdouble x, GLdouble y, GLdouble z, GLdouble w)) \
    X(void, glVertex4f, (GLfloat x, GLfloat y, GLfloat z, GLfloat w)) \
    X(void, glVertex4i, (GLint x, GLint y, GLint z, GLint w)) \
    X(void, glVertex4s, (GLshort x, GLshort y, GLshort z, GLshort w)) \
    X(void, glVertex2dv, (const GLdouble *v)) \
    X(void, glVertex2fv, (const GLfloat *v)) \
    X(void, glVertex2iv, (const GLint *v)) \
    X(void, glVertex2sv, (const GLshort *v)) \
    X(void, glVertex3dv, (const GLdouble *v)) \
    X(void, glVertex3fv, (const GLfloat *v)) \
    X(void, glVertex3iv, (const GLint *v)) \
    X(void, glVertex3sv, (const GLshort *v)) \
    X(void, glVertex4dv, (const GLdouble *v)) \
    X(void, glVertex4fv, (const GLfloat *v)) \
    X(void, glVertex4iv, (const GLint *v)) \
    X(void, glVertex4sv, (const GLshort *v)) \
    X(void, glNormal3b, (GLbyte nx, GLbyte ny, GLbyte nz)) \
    X(void, glNormal3d, (GLdouble nx, GLdouble ny, GLdouble nz)) \
    X(void, glNormal3f, (GLfloat nx, GLfloat ny, GLfloat nz)) \
    X(void, glNormal3i, (GLint nx, GLint ny, GLint nz)) \
    X(void, glNormal3s, (GLshort nx, GLshort ny, GLshort nz)) \
    X(void, glNormal3bv, (const GLbyte *v)) \
    X(void, glNormal3dv, (const GLdouble *v)) \
    X(void, glNormal3fv, (const GLfloat *v)) \
    X(void, glNormal3iv, (const GLint *v)) \
    X(void, glNormal3sv, (const GLshort *v)) \
    X(void, glIndexd, (GLdouble c)) \
    X(void, glIndexf, (GLfloat c)) \
    X(void, glIndexi, (GLint c)) \
    X(void, glIndexs, (GLshort c)) \
    X(void, glIndexub, (GLubyte c)) \
    X(void, glIndexdv, (const GLdouble *c)) \
    X(void, glIndexfv, (const GLfloat *c)) \
    X(void, glIndexiv, (const GLint *c)) \
    X(void, glIndexsv, (const GLshort *c)) \
    X(void, glIndexubv, (const GLubyte *c)) \
    X(void, glColor3b, (GLbyte red, GLbyte green, GLbyte blue)) \
    X(void, glColor3d, (GLdouble red, GLdouble green, GLdouble blue)) \
    X(void, glColor3f, (GLfloat red, GLfloat green, GLfloat blue)) \
    X(void, glColor3i, (GLint red, GLint green, GLint blue)) \
    X(void, glColor3s, (GLshort red, GLshort green, GLshort blue)) \
    X(void, glColor3ub, (GLubyte red, GLubyte green, GLubyte blue)) \
    X(void, glColor3ui, (GLuint red, GLuint green, GLuint blue)) \
    X(void, glColor3us, (GLushort red, GLushort green, GLushort blue)) \
    X(void, glColor4b, (GLbyte red, GLbyte green, GLbyte blue, GLbyte alpha)) \
    X(void, glColor4d, (GLdouble red, GLdouble green, GLdouble blue, GLdouble alpha)) \
    X(void, glColor4f, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)) \
    X(void, glColor4i, (GLint red, GLint green, GLint blue, GLint alpha)) \
    X(void, glColor4s, (GLshort red, GLshort green, GLshort blue, GLshort alpha)) \
    X(void, glColor4ub, (GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha)) \
    X(void, glColor4ui, (GLuint red, GLuint green, GLuint blue, GLuint alpha)) \
    X(void, glColor4us, (GLushort red, GLushort green, GLushort blue, GLushort alpha)) \
    X(void, glColor3bv, (const GLbyte *v)) \
    X(void, glColor3dv, (const GLdouble *v)) \
    X(void, glColor3fv, (const GLfloat *v)) \
    X(void, glColor3iv, (const GLint *v)) \
    X(void, glColor3sv, (const GLshort *v)) \
    X(void, glColor3ubv, (const GLubyte *v)) \
    X(void, glColor3uiv, (const GLuint *v)) \
    X(void, glColor3usv, (const GLushort *v)) \
    X(void, glColor4bv, (const GLbyte *v)) \
    X(void, glColor4dv, (const GLdouble *v)) \
    X(void, glColor4fv, (const GLfloat *v)) \
    X(void, glColor4iv, (const GLint *v)) \
    X(void, glColor4sv, (const GLshort *v)) \
    X(void, glColor4ubv, (const GLubyte *v)) \
    X(void, glColor4uiv, (const GLuint *v)) \
    X(void, glColor4usv, (const GLushort *v)) \
    X(void, glTexCoord1d, (GLdouble s)) \
    X(void, glTexCoord1f, (GLfloat s)) \
    X(void, glTexCoord1i, (GLint s)) \
    X(void, glTexCoord1s, (GLshort s)) \
    X(void, glTexCoord2d, (GLdouble s, GLdouble t)) \
    X(void, glTexCoord2f, (GLfloat s, GLfloat t)) \
    X(void, glTexCoord2i, (GLint s, GLint t)) \
    X(void, glTexCoord2s, (GLshort s, GLshort t)) \
    X(void, glTexCoord3d, (GLdouble s, GLdouble t, GLdouble r)) \
    X(void, glTexCoord3f, (GLfloat s, GLfloat t, GLfloat r)) \
    X(void, glTexCoord3i, (GLint s, GLint t, GLint r)) \
    X(void, glTexCoord3s, (GLshort s, GLshort t, GLshort r)) \
    X(void, glTexCoord4d, (GLdouble s, GLdouble t, GLdouble r, GLdouble q)) \
    X(void, glTexCoord4f, (GLfloat s, GLfloat t, GLfloat r, GLfloat q)) \
    X(void, glTexCoord4i, (GLint s, GLint t, GLint r, GLint q)) \
    X(void, glTexCoord4s, (GLshort s, GLshort t, GLshort r, GLshort q)) \
    X(void, glTexCoord1dv, (const GLdouble *v)) \
    X(void, glTexCoord1fv, (const GLfloat *v)) \
    X(void, glTexCoord1iv, (const GLint *v)) \
    X(void, glTexCoord1sv, (const GLshort *v)) \
    X(void, glTexCoord2dv, (const GLdouble *v)) \
    X(void, glTexCoord2fv, (const GLfloat *v)) \
    X(void, glTexCoord2iv, (const GLint *v)) \
    X(void, glTexCoord2sv, (const GLshort *v)) \
    X(void, glTexCoord3dv, (const GLdouble *v)) \
    X(void, glTexCoord3fv, (const GLfloat *v)) \
    X(void, glTexCoord3iv, (const GLint *v)) \
    X(void, glTexCoord3sv, (const GLshort *v)) \
    X(void, glTexCoord4dv, (const GLdouble *v)) \
    X(void, glTexCoord4fv, (const GLfloat *v)) \
    X(void, glTexCoord4iv, (const GLint *v)) \
    X(void, glTexCoord4sv, (const GLshort *v)) \
    X(void, glRasterPos2d, (GLdouble x, GLdouble y)) \
    X(void, glRasterPos2f, (GLfloat x, GLfloat y)) \
    X(void, glRasterPos2i, (GLint x, GLint y)) \
    X(void, glRasterPos2s, (GLshort x, GLshort y)) \
    X(void, glRasterPos3d, (GLdouble x, GLdouble y, GLdouble z)) \
    X(void, glRasterPos3f, (GLfloat x, GLfloat y, GLfloat z)) \
    X(void, glRasterPos3i, (GLint x, GLint y, GLint z)) \
    X(void, glRasterPos3s, (GLshort x, GLshort y, GLshort z)) \
    X(void, glRasterPos4d, (GLdouble x, GLdouble y, GLdouble z, GLdouble w)) \
    X(void, glRasterPos4f, (GLfloat x, GLfloat y, GLfloat z, GLfloat w)) \
    X(void, glRasterPos4i, (GLint x, GLint y, GLint z, GLint w)) \
    X(void, glRasterPos4s, (GLshort x, GLshort y, GLshort z, GLshort w)) \
    X(void, glRasterPos2dv, (const GLdouble *v)) \
    X(void, glRasterPos2fv, (const GLfloat *v)) \
    X(void, glRasterPos2iv, (const GLint *v)) \
    X(void, glRasterPos2sv, (const GLshort *v)) \
    X(void, glRasterPos3dv, (const GLdouble *v)) \
    X(void, glRasterPos3fv, (const GLfloat *v)) \
    X(void, glRasterPos3iv, (const GLint *v)) \
    X(void, glRasterPos3sv, (const GLshort *v)) \
    X(void, glRasterPos4dv, (const GLdouble *v)) \
    X(void, glRasterPos4fv, (const GLfloat *v)) \
    X(void, glRasterPos4iv, (const GLint *v)) \
    X(void, glRasterPos4sv, (const GLshort *v)) \
    X(void, glRectd, (GLdouble x1, GLdouble y1, GLdouble x2, GLdouble y2)) \
    X(void, glRectf, (GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2)) \
    X(void, glRecti, (GLint x1, GLint y1, GLint x2, GLint y2)) \
    X(void, glRects, (GLshort x1, GLshort y1, GLshort x2, GLshort y2)) \
    X(void, glRectdv, (const GLdouble *v1, const GLdouble *v2)) \
    X(void, glRectfv, (const GLfloat *v1, const GLfloat *v2)) \
    X(void, glRectiv, (const GLint *v1, const GLint *v2)) \
    X(void, glRectsv, (const GLshort *v1, const GLshort *v2)) \
    X(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr)) \
    X(void, glNormalPointer, (GLenum type, GLsizei stride, const GLvoid *ptr)) \
    X(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr)) \
    X(void, glIndexPointer, (GLenum type, GLsizei stride, const GLvoid *ptr)) \
    X(void, glTexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr)) \
    X(void, glEdgeFlagPointer, (GLsizei stride, const GLvoid *ptr)) \
    X(void, glGetPointerv, (GLenum pname, GLvoid **params)) \
    X(void, glArrayElement, (GLint i)) \
    X(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count)) \
    X(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid *indices)) \
    X(void, glInterleavedArrays, (GLenum format, GLsizei stride, const GLvoid *pointer)) \
    X(void, glShadeModel, (GLenum mode)) \
    X(void, glLightf, (GLenum light, GLenum pname, GLfloat param)) \
    X(void, glLighti, (GLenum light, GLenum pname, GLint param)) \
    X(void, glLightfv, (GLenum light, GLenum pname, const GLfloat *params)) \
    X(void, glLightiv, (GLenum light, GLenum pname, const GLint *params)) \
    X(void, glGetLightfv, (GLenum light, GLenum pname, GLfloat *params)) \
    X(void, glGetLightiv, (GLenum light, GLenum pname, GLint *params)) \
    X(void, glLightModelf, (GLenum pname, GLfloat param)) \
    X(void, glLightModeli, (GLenum pname, GLint param)) \
    X(void, glLightModelfv, (GLenum pname, const GLfloat *params)) \
    X(void, glLightModeliv, (GLenum pname, const GLint *params)) \
    X(void, glMaterialf, (GLenum face, GLenum pname, GLfloat param)) \
    X(void, glMateriali, (GLenum face, GLenum pname, GLint param)) \
    X(void, glMaterialfv, (GLenum face, GLenum pname, const GLfloat *params)) \
    X(void, glMaterialiv, (GLenum face, GLenum pname, const GLint *params)) \
    X(void, glGetMaterialfv, (GLenum face, GLenum pname, GLfloat *params)) \
    X(void, glGetMaterialiv, (GLenum face, GLenum pname, GLint *params)) \
    X(void, glColorMaterial, (GLenum face, GLenum mode)) \
    X(void, glPixelZoom, (GLfloat xfactor, GLfloat yfactor)) \
    X(void, glPixelStoref, (GLenum pname, GLfloat param)) \
    X(void, glPixelStorei, (GLenum pname, GLint param)) \
    X(void, glPixelTransferf, (GLenum pname, GLfloat param)) \
    X(void, glPixelTransferi, (GLenum pname, GLint param)) \
    X(void, glPixelMapfv, (GLenum map, GLsizei mapsize, const GLfloat *values)) \
    X(void, glPixelMapuiv, (GLenum map, GLsizei mapsize, const GLuint *values)) \
    X(void, glPixelMapusv, (GLenum map, GLsizei mapsize, const GLushort *values)) \
    X(void, glGetPixelMapfv, (GLenum map, GLfloat *values)) \
    X(void, glGetPixelMapuiv, (GLenum map, GLuint *values)) \
    X(void, glGetPixelMapusv, (GLenum map, GLushort *values)) \
    X(void, glBitmap, (GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove, const GLubyte *bitmap)) \
    X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid *pixels)) \
    X(void, glDrawPixels, (GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glCopyPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum type)) \
    X(void, glStencilFunc, (GLenum func, GLint ref, GLuint mask)) \
    X(void, glStencilMask, (GLuint mask)) \
    X(void, glStencilOp, (GLenum fail, GLenum zfail, GLenum zpass)) \
    X(void, glClearStencil, (GLint s)) \
    X(void, glTexGend, (GLenum coord, GLenum pname, GLdouble param)) \
    X(void, glTexGenf, (GLenum coord, GLenum pname, GLfloat param)) \
    X(void, glTexGeni, (GLenum coord, GLenum pname, GLint param)) \
    X(void, glTexGendv, (GLenum coord, GLenum pname, const GLdouble *params)) \
    X(void, glTexGenfv, (GLenum coord, GLenum pname, const GLfloat *params)) \
    X(void, glTexGeniv, (GLenum coord, GLenum pname, const GLint *params)) \
    X(void, glGetTexGendv, (GLenum coord, GLenum pname, GLdouble *params)) \
    X(void, glGetTexGenfv, (GLenum coord, GLenum pname, GLfloat *params)) \
    X(void, glGetTexGeniv, (GLenum coord, GLenum pname, GLint *params)) \
    X(void, glTexEnvf, (GLenum target, GLenum pname, GLfloat param)) \
    X(void, glTexEnvi, (GLenum target, GLenum pname, GLint param)) \
    X(void, glTexEnvfv, (GLenum target, GLenum pname, const GLfloat *params)) \
    X(void, glTexEnviv, (GLenum target, GLenum pname, const GLint *params)) \
    X(void, glGetTexEnvfv, (GLenum target, GLenum pname, GLfloat *params)) \
    X(void, glGetTexEnviv, (GLenum target, GLenum pname, GLint *params)) \
    X(void, glTexParameterf, (GLenum target, GLenum pname, GLfloat param)) \
    X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param)) \
    X(void, glTexParameterfv, (GLenum target, GLenum pname, const GLfloat *params)) \
    X(void, glTexParameteriv, (GLenum target, GLenum pname, const GLint *params)) \
    X(void, glGetTexParameterfv, (GLenum target, GLenum pname, GLfloat *params)) \
    X(void, glGetTexParameteriv, (GLenum target, GLenum pname, GLint *params)) \
    X(void, glGetTexLevelParameterfv, (GLenum target, GLint level, GLenum pname, GLfloat *params)) \
    X(void, glGetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint *params)) \
    X(void, glTexImage1D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLint border, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glTexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glGetTexImage, (GLenum target, GLint level, GLenum format, GLenum type, GLvoid *pixels)) \
    X(void, glGenTextures, (GLsizei n, GLuint *textures)) \
    X(void, glDeleteTextures, (GLsizei n, const GLuint *textures)) \
    X(void, glBindTexture, (GLenum target, GLuint texture)) \
    X(void, glPrioritizeTextures, (GLsizei n, const GLuint *textures, const GLclampf *priorities)) \
    X(GLboolean, glAreTexturesResident, (GLsizei n, const GLuint *textures, GLboolean *residences)) \
    X(GLboolean, glIsTexture, (GLuint texture)) \
    X(void, glTexSubImage1D, (GLenum target, GLint level, GLint xoffset, GLsizei width, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glCopyTexImage1D, (GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width, GLint border)) \
    X(void, glCopyTexImage2D, (GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width, GLsizei height, GLint border)) \
    X(void, glCopyTexSubImage1D, (GLenum target, GLint level, GLint xoffset, GLint x, GLint y, GLsizei width)) \
    X(void, glCopyTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width, GLsizei height)) \
    X(void, glMap1d, (GLenum target, GLdouble u1, GLdouble u2, GLint stride, GLint order, const GLdouble *points)) \
    X(void, glMap1f, (GLenum target, GLfloat u1, GLfloat u2, GLint stride, GLint order, const GLfloat *points)) \
    X(void, glMap2d, (GLenum target, GLdouble u1, GLdouble u2, GLint ustride, GLint uorder, GLdouble v1, GLdouble v2, GLint vstride, GLint vorder, const GLdouble *points)) \
    X(void, glMap2f, (GLenum target, GLfloat u1, GLfloat u2, GLint ustride, GLint uorder, GLfloat v1, GLfloat v2, GLint vstride, GLint vorder, const GLfloat *points)) \
    X(void, glGetMapdv, (GLenum target, GLenum query, GLdouble *v)) \
    X(void, glGetMapfv, (GLenum target, GLenum query, GLfloat *v)) \
    X(void, glGetMapiv, (GLenum target, GLenum query, GLint *v)) \
    X(void, glEvalCoord1d, (GLdouble u)) \
    X(void, glEvalCoord1f, (GLfloat u)) \
    X(void, glEvalCoord1dv, (const GLdouble *u)) \
    X(void, glEvalCoord1fv, (const GLfloat *u)) \
    X(void, glEvalCoord2d, (GLdouble u, GLdouble v)) \
    X(void, glEvalCoord2f, (GLfloat u, GLfloat v)) \
    X(void, glEvalCoord2dv, (const GLdouble *u)) \
    X(void, glEvalCoord2fv, (const GLfloat *u)) \
    X(void, glMapGrid1d, (GLint un, GLdouble u1, GLdouble u2)) \
    X(void, glMapGrid1f, (GLint un, GLfloat u1, GLfloat u2)) \
    X(void, glMapGrid2d, (GLint un, GLdouble u1, GLdouble u2, GLint vn, GLdouble v1, GLdouble v2)) \
    X(void, glMapGrid2f, (GLint un, GLfloat u1, GLfloat u2, GLint vn, GLfloat v1, GLfloat v2)) \
    X(void, glEvalPoint1, (GLint i)) \
    X(void, glEvalPoint2, (GLint i, GLint j)) \
    X(void, glEvalMesh1, (GLenum mode, GLint i1, GLint i2)) \
    X(void, glEvalMesh2, (GLenum mode, GLint i1, GLint i2, GLint j1, GLint j2)) \
    X(void, glFogf, (GLenum pname, GLfloat param)) \
    X(void, glFogi, (GLenum pname, GLint param)) \
    X(void, glFogfv, (GLenum pname, const GLfloat *params)) \
    X(void, glFogiv, (GLenum pname, const GLint *params)) \
    X(void, glFeedbackBuffer, (GLsizei size, GLenum type, GLfloat *buffer)) \
    X(void, glPassThrough, (GLfloat token)) \
    X(void, glSelectBuffer, (GLsizei size, GLuint *buffer)) \
    X(void, glInitNames, ()) \
    X(void, glLoadName, (GLuint name)) \
    X(void, glPushName, (GLuint name)) \
    X(void, glPopName, ())

#define PYR_GL_OPTIONAL_FUNCS(X) \
    X(void, glDrawRangeElements, (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const GLvoid *indices)) \
    X(void, glTexImage3D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glTexSubImage3D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint zoffset, GLsizei width, GLsizei height, GLsizei depth, GLenum format, GLenum type, const GLvoid *pixels)) \
    X(void, glActiveTexture, (GLenum texture)) \
    X(void, glClientActiveTexture, (GLenum texture)) \
    X(void, glCompressedTexImage1D, (GLenum target, GLint level, GLenum internalformat, GLsizei width, GLint border, GLsizei imageSize, const GLvoid *data)) \
    X(void, glCompressedTexImage2D, (GLenum target, GLint level, GLenum internalformat, GLsizei width, GLsizei height, GLint border, GLsizei imageSize, const GLvoid *data)) \
    X(void, glLoadTransposeMatrixd, (const GLdouble m[16])) \
    X(void, glLoadTransposeMatrixf, (const GLfloat m[16])) \
    X(void, glMultTransposeMatrixd, (const GLdouble m[16])) \
    X(void, glMultTransposeMatrixf, (const GLfloat m[16])) \
    X(void, glMultiTexCoord1d, (GLenum target, GLdouble s)) \
    X(void, glMultiTexCoord1dv, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord1f, (GLenum target, GLfloat s)) \
    X(void, glMultiTexCoord1fv, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord1i, (GLenum target, GLint s)) \
    X(void, glMultiTexCoord1iv, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord1s, (GLenum target, GLshort s)) \
    X(void, glMultiTexCoord1sv, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord2d, (GLenum target, GLdouble s, GLdouble t)) \
    X(void, glMultiTexCoord2dv, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord2f, (GLenum target, GLfloat s, GLfloat t)) \
    X(void, glMultiTexCoord2fv, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord2i, (GLenum target, GLint s, GLint t)) \
    X(void, glMultiTexCoord2iv, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord2s, (GLenum target, GLshort s, GLshort t)) \
    X(void, glMultiTexCoord2sv, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord3d, (GLenum target, GLdouble s, GLdouble t, GLdouble r)) \
    X(void, glMultiTexCoord3dv, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord3f, (GLenum target, GLfloat s, GLfloat t, GLfloat r)) \
    X(void, glMultiTexCoord3fv, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord3i, (GLenum target, GLint s, GLint t, GLint r)) \
    X(void, glMultiTexCoord3iv, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord3s, (GLenum target, GLshort s, GLshort t, GLshort r)) \
    X(void, glMultiTexCoord3sv, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord4d, (GLenum target, GLdouble s, GLdouble t, GLdouble r, GLdouble q)) \
    X(void, glMultiTexCoord4dv, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord4f, (GLenum target, GLfloat s, GLfloat t, GLfloat r, GLfloat q)) \
    X(void, glMultiTexCoord4fv, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord4i, (GLenum target, GLint s, GLint t, GLint r, GLint q)) \
    X(void, glMultiTexCoord4iv, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord4s, (GLenum target, GLshort s, GLshort t, GLshort r, GLshort q)) \
    X(void, glMultiTexCoord4sv, (GLenum target, const GLshort *v))

#define PYR_GL_EXTENSION_FUNCS(X) \
    X(void, glActiveTextureARB, (GLenum texture)) \
    X(void, glClientActiveTextureARB, (GLenum texture)) \
    X(void, glMultiTexCoord1dARB, (GLenum target, GLdouble s)) \
    X(void, glMultiTexCoord1dvARB, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord1fARB, (GLenum target, GLfloat s)) \
    X(void, glMultiTexCoord1fvARB, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord1iARB, (GLenum target, GLint s)) \
    X(void, glMultiTexCoord1ivARB, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord1sARB, (GLenum target, GLshort s)) \
    X(void, glMultiTexCoord1svARB, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord2dARB, (GLenum target, GLdouble s, GLdouble t)) \
    X(void, glMultiTexCoord2dvARB, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord2fARB, (GLenum target, GLfloat s, GLfloat t)) \
    X(void, glMultiTexCoord2fvARB, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord2iARB, (GLenum target, GLint s, GLint t)) \
    X(void, glMultiTexCoord2ivARB, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord2sARB, (GLenum target, GLshort s, GLshort t)) \
    X(void, glMultiTexCoord2svARB, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord3dARB, (GLenum target, GLdouble s, GLdouble t, GLdouble r)) \
    X(void, glMultiTexCoord3dvARB, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord3fARB, (GLenum target, GLfloat s, GLfloat t, GLfloat r)) \
    X(void, glMultiTexCoord3fvARB, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord3iARB, (GLenum target, GLint s, GLint t, GLint r)) \
    X(void, glMultiTexCoord3ivARB, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord3sARB, (GLenum target, GLshort s, GLshort t, GLshort r)) \
    X(void, glMultiTexCoord3svARB, (GLenum target, const GLshort *v)) \
    X(void, glMultiTexCoord4dARB, (GLenum target, GLdouble s, GLdouble t, GLdouble r, GLdouble q)) \
    X(void, glMultiTexCoord4dvARB, (GLenum target, const GLdouble *v)) \
    X(void, glMultiTexCoord4fARB, (GLenum target, GLfloat s, GLfloat t, GLfloat r, GLfloat q)) \
    X(void, glMultiTexCoord4fvARB, (GLenum target, const GLfloat *v)) \
    X(void, glMultiTexCoord4iARB, (GLenum target, GLint s, GLint t, GLint r, GLint q)) \
    X(void, glMultiTexCoord4ivARB, (GLenum target, const GLint *v)) \
    X(void, glMultiTexCoord4sARB, (GLenum target, GLshort s, GLshort t, GLshort r, GLshort q)) \
    X(void, glMultiTexCoord4svARB, (GLenum target, const GLshort *v))

// Extension entry points that are not in the ARB multitexture list.
#define PYR_GL_MISC_EXTENSION_FUNCS(X) \
    X(void, glLockArraysEXT, (GLint first, GLsizei count)) \
    X(void, glUnlockArraysEXT, ()) \
    X(void, glColorTableEXT, (GLenum target, GLenum internalFormat, GLsizei width, GLenum format, GLenum type, const GLvoid *table)) \
    X(void, glPointParameterfEXT, (GLenum pname, GLfloat param)) \
    X(void, glPointParameterfvEXT, (GLenum pname, const GLfloat *params)) \
    X(void, glPolygonOffsetEXT, (GLfloat factor, GLfloat bias)) \
    X(void, glCompressedTexImage2DARB, (GLenum target, GLint level, GLenum internalFormat, GLsizei width, GLsizei height, GLint border, GLsizei imageSize, const GLvoid *data)) \
    X(void, glGenFramebuffers, (GLsizei n, GLuint *framebuffers)) \
    X(void, glDeleteFramebuffers, (GLsizei n, const GLuint *framebuffers)) \
    X(void, glBindFramebuffer, (GLenum target, GLuint framebuffer)) \
    X(void, glFramebufferTexture2D, (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level)) \
    X(GLenum, glCheckFramebufferStatus, (GLenum target)) \
    X(void, glBlitFramebuffer, (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter))

// The framebuffer-object entry points above are looked up under their EXT
// names too, for drivers that offer only the extension.
#define PYR_GL_EXT_FALLBACK_FUNCS(X) \
    X(glGenFramebuffers) X(glDeleteFramebuffers) X(glBindFramebuffer) X(glFramebufferTexture2D) \
    X(glCheckFramebufferStatus) X(glBlitFramebuffer)

#define PYR_GL_DECLARE_POINTER(ret, name, params) \
    using PFN_##name = ret(PYR_GLAPIENTRY*) params; \
    extern PFN_##name name;
PYR_GL_CORE_FUNCS(PYR_GL_DECLARE_POINTER)
PYR_GL_OPTIONAL_FUNCS(PYR_GL_DECLARE_POINTER)
PYR_GL_EXTENSION_FUNCS(PYR_GL_DECLARE_POINTER)
PYR_GL_MISC_EXTENSION_FUNCS(PYR_GL_DECLARE_POINTER)
#undef PYR_GL_DECLARE_POINTER

// Looks up one entry point by name; answers nullptr when it is not offered.
class TGLProcLoader {
public:
    virtual ~TGLProcLoader() = default;
    virtual void* GetProcAddress(const char* name) = 0;
};

// Resolves every OpenGL 1.1 entry point and the 1.2/1.3 additions through
// the loader. Missing entry points stay nullptr. Returns the number of core
// (1.1) entry points that were found.
int LoadGLEntryPoints(TGLProcLoader& loader);

// Resolves the extension entry points (needs a current context for some
// drivers). Each may stay nullptr.
void LoadGLExtensionEntryPoints(TGLProcLoader& loader);

// Sets every entry point back to nullptr.
void ClearGLEntryPoints();

// True when the core entry points needed to draw anything are present.
bool GLEntryPointsLoaded();
