#pragma once
// Call sites keep the familiar OpenGL names; these send them through the module's
// own pointers, so the module never needs the libraries at link time.
// Included at the end of XOpenGL.h; never include it on its own.

// Window-system binding.
#define eglBindAPI ::XGLEntry::eglBindAPI
#define eglChooseConfig ::XGLEntry::eglChooseConfig
#define eglCreateContext ::XGLEntry::eglCreateContext
#define eglCreatePbufferSurface ::XGLEntry::eglCreatePbufferSurface
#define eglDestroyContext ::XGLEntry::eglDestroyContext
#define eglDestroySurface ::XGLEntry::eglDestroySurface
#define eglGetConfigAttrib ::XGLEntry::eglGetConfigAttrib
#define eglGetConfigs ::XGLEntry::eglGetConfigs
#define eglGetCurrentContext ::XGLEntry::eglGetCurrentContext
#define eglGetCurrentDisplay ::XGLEntry::eglGetCurrentDisplay
#define eglGetCurrentSurface ::XGLEntry::eglGetCurrentSurface
#define eglGetDisplay ::XGLEntry::eglGetDisplay
#define eglGetError ::XGLEntry::eglGetError
#define eglGetProcAddress ::XGLEntry::eglGetProcAddress
#define eglInitialize ::XGLEntry::eglInitialize
#define eglMakeCurrent ::XGLEntry::eglMakeCurrent
#define eglQueryAPI ::XGLEntry::eglQueryAPI
#define eglQueryContext ::XGLEntry::eglQueryContext
#define eglQueryString ::XGLEntry::eglQueryString
#define eglQuerySurface ::XGLEntry::eglQuerySurface
#define eglReleaseThread ::XGLEntry::eglReleaseThread
#define eglSurfaceAttrib ::XGLEntry::eglSurfaceAttrib
#define eglSwapBuffers ::XGLEntry::eglSwapBuffers
#define eglSwapInterval ::XGLEntry::eglSwapInterval
#define eglTerminate ::XGLEntry::eglTerminate
#define eglWaitClient ::XGLEntry::eglWaitClient
#define eglWaitGL ::XGLEntry::eglWaitGL

// OpenGL 1.1.
#define glAccum ::XGLEntry::glAccum
#define glAlphaFunc ::XGLEntry::glAlphaFunc
#define glAreTexturesResident ::XGLEntry::glAreTexturesResident
#define glArrayElement ::XGLEntry::glArrayElement
#define glBegin ::XGLEntry::glBegin
#define glBindTexture ::XGLEntry::glBindTexture
#define glBitmap ::XGLEntry::glBitmap
#define glBlendFunc ::XGLEntry::glBlendFunc
#define glCallList ::XGLEntry::glCallList
#define glCallLists ::XGLEntry::glCallLists
#define glClear ::XGLEntry::glClear
#define glClearAccum ::XGLEntry::glClearAccum
#define glClearColor ::XGLEntry::glClearColor
#define glClearDepth ::XGLEntry::glClearDepth
#define glClearIndex ::XGLEntry::glClearIndex
#define glClearStencil ::XGLEntry::glClearStencil
#define glClipPlane ::XGLEntry::glClipPlane
#define glColor3b ::XGLEntry::glColor3b
#define glColor3bv ::XGLEntry::glColor3bv
#define glColor3d ::XGLEntry::glColor3d
#define glColor3dv ::XGLEntry::glColor3dv
#define glColor3f ::XGLEntry::glColor3f
#define glColor3fv ::XGLEntry::glColor3fv
#define glColor3i ::XGLEntry::glColor3i
#define glColor3iv ::XGLEntry::glColor3iv
#define glColor3s ::XGLEntry::glColor3s
#define glColor3sv ::XGLEntry::glColor3sv
#define glColor3ub ::XGLEntry::glColor3ub
#define glColor3ubv ::XGLEntry::glColor3ubv
#define glColor3ui ::XGLEntry::glColor3ui
#define glColor3uiv ::XGLEntry::glColor3uiv
#define glColor3us ::XGLEntry::glColor3us
#define glColor3usv ::XGLEntry::glColor3usv
#define glColor4b ::XGLEntry::glColor4b
#define glColor4bv ::XGLEntry::glColor4bv
#define glColor4d ::XGLEntry::glColor4d
#define glColor4dv ::XGLEntry::glColor4dv
#define glColor4f ::XGLEntry::glColor4f
#define glColor4fv ::XGLEntry::glColor4fv
#define glColor4i ::XGLEntry::glColor4i
#define glColor4iv ::XGLEntry::glColor4iv
#define glColor4s ::XGLEntry::glColor4s
#define glColor4sv ::XGLEntry::glColor4sv
#define glColor4ub ::XGLEntry::glColor4ub
#define glColor4ubv ::XGLEntry::glColor4ubv
#define glColor4ui ::XGLEntry::glColor4ui
#define glColor4uiv ::XGLEntry::glColor4uiv
#define glColor4us ::XGLEntry::glColor4us
#define glColor4usv ::XGLEntry::glColor4usv
#define glColorMask ::XGLEntry::glColorMask
#define glColorMaterial ::XGLEntry::glColorMaterial
#define glColorPointer ::XGLEntry::glColorPointer
#define glCopyPixels ::XGLEntry::glCopyPixels
#define glCopyTexImage1D ::XGLEntry::glCopyTexImage1D
#define glCopyTexImage2D ::XGLEntry::glCopyTexImage2D
#define glCopyTexSubImage1D ::XGLEntry::glCopyTexSubImage1D
#define glCopyTexSubImage2D ::XGLEntry::glCopyTexSubImage2D
#define glCullFace ::XGLEntry::glCullFace
#define glDeleteLists ::XGLEntry::glDeleteLists
#define glDeleteTextures ::XGLEntry::glDeleteTextures
#define glDepthFunc ::XGLEntry::glDepthFunc
#define glDepthMask ::XGLEntry::glDepthMask
#define glDepthRange ::XGLEntry::glDepthRange
#define glDisable ::XGLEntry::glDisable
#define glDisableClientState ::XGLEntry::glDisableClientState
#define glDrawArrays ::XGLEntry::glDrawArrays
#define glDrawBuffer ::XGLEntry::glDrawBuffer
#define glDrawElements ::XGLEntry::glDrawElements
#define glDrawPixels ::XGLEntry::glDrawPixels
#define glEdgeFlag ::XGLEntry::glEdgeFlag
#define glEdgeFlagPointer ::XGLEntry::glEdgeFlagPointer
#define glEdgeFlagv ::XGLEntry::glEdgeFlagv
#define glEnable ::XGLEntry::glEnable
#define glEnableClientState ::XGLEntry::glEnableClientState
#define glEnd ::XGLEntry::glEnd
#define glEndList ::XGLEntry::glEndList
#define glEvalCoord1d ::XGLEntry::glEvalCoord1d
#define glEvalCoord1dv ::XGLEntry::glEvalCoord1dv
#define glEvalCoord1f ::XGLEntry::glEvalCoord1f
#define glEvalCoord1fv ::XGLEntry::glEvalCoord1fv
#define glEvalCoord2d ::XGLEntry::glEvalCoord2d
#define glEvalCoord2dv ::XGLEntry::glEvalCoord2dv
#define glEvalCoord2f ::XGLEntry::glEvalCoord2f
#define glEvalCoord2fv ::XGLEntry::glEvalCoord2fv
#define glEvalMesh1 ::XGLEntry::glEvalMesh1
#define glEvalMesh2 ::XGLEntry::glEvalMesh2
#define glEvalPoint1 ::XGLEntry::glEvalPoint1
#define glEvalPoint2 ::XGLEntry::glEvalPoint2
#define glFeedbackBuffer ::XGLEntry::glFeedbackBuffer
#define glFinish ::XGLEntry::glFinish
#define glFlush ::XGLEntry::glFlush
#define glFogf ::XGLEntry::glFogf
#define glFogfv ::XGLEntry::glFogfv
#define glFogi ::XGLEntry::glFogi
#define glFogiv ::XGLEntry::glFogiv
#define glFrontFace ::XGLEntry::glFrontFace
#define glFrustum ::XGLEntry::glFrustum
#define glGenLists ::XGLEntry::glGenLists
#define glGenTextures ::XGLEntry::glGenTextures
#define glGetBooleanv ::XGLEntry::glGetBooleanv
#define glGetClipPlane ::XGLEntry::glGetClipPlane
#define glGetDoublev ::XGLEntry::glGetDoublev
#define glGetError ::XGLEntry::glGetError
#define glGetFloatv ::XGLEntry::glGetFloatv
#define glGetIntegerv ::XGLEntry::glGetIntegerv
#define glGetLightfv ::XGLEntry::glGetLightfv
#define glGetLightiv ::XGLEntry::glGetLightiv
#define glGetMapdv ::XGLEntry::glGetMapdv
#define glGetMapfv ::XGLEntry::glGetMapfv
#define glGetMapiv ::XGLEntry::glGetMapiv
#define glGetMaterialfv ::XGLEntry::glGetMaterialfv
#define glGetMaterialiv ::XGLEntry::glGetMaterialiv
#define glGetPixelMapfv ::XGLEntry::glGetPixelMapfv
#define glGetPixelMapuiv ::XGLEntry::glGetPixelMapuiv
#define glGetPixelMapusv ::XGLEntry::glGetPixelMapusv
#define glGetPointerv ::XGLEntry::glGetPointerv
#define glGetPolygonStipple ::XGLEntry::glGetPolygonStipple
#define glGetString ::XGLEntry::glGetString
#define glGetTexEnvfv ::XGLEntry::glGetTexEnvfv
#define glGetTexEnviv ::XGLEntry::glGetTexEnviv
#define glGetTexGendv ::XGLEntry::glGetTexGendv
#define glGetTexGenfv ::XGLEntry::glGetTexGenfv
#define glGetTexGeniv ::XGLEntry::glGetTexGeniv
#define glGetTexImage ::XGLEntry::glGetTexImage
#define glGetTexLevelParameterfv ::XGLEntry::glGetTexLevelParameterfv
#define glGetTexLevelParameteriv ::XGLEntry::glGetTexLevelParameteriv
#define glGetTexParameterfv ::XGLEntry::glGetTexParameterfv
#define glGetTexParameteriv ::XGLEntry::glGetTexParameteriv
#define glHint ::XGLEntry::glHint
#define glIndexMask ::XGLEntry::glIndexMask
#define glIndexPointer ::XGLEntry::glIndexPointer
#define glIndexd ::XGLEntry::glIndexd
#define glIndexdv ::XGLEntry::glIndexdv
#define glIndexf ::XGLEntry::glIndexf
#define glIndexfv ::XGLEntry::glIndexfv
#define glIndexi ::XGLEntry::glIndexi
#define glIndexiv ::XGLEntry::glIndexiv
#define glIndexs ::XGLEntry::glIndexs
#define glIndexsv ::XGLEntry::glIndexsv
#define glIndexub ::XGLEntry::glIndexub
#define glIndexubv ::XGLEntry::glIndexubv
#define glInitNames ::XGLEntry::glInitNames
#define glInterleavedArrays ::XGLEntry::glInterleavedArrays
#define glIsEnabled ::XGLEntry::glIsEnabled
#define glIsList ::XGLEntry::glIsList
#define glIsTexture ::XGLEntry::glIsTexture
#define glLightModelf ::XGLEntry::glLightModelf
#define glLightModelfv ::XGLEntry::glLightModelfv
#define glLightModeli ::XGLEntry::glLightModeli
#define glLightModeliv ::XGLEntry::glLightModeliv
#define glLightf ::XGLEntry::glLightf
#define glLightfv ::XGLEntry::glLightfv
#define glLighti ::XGLEntry::glLighti
#define glLightiv ::XGLEntry::glLightiv
#define glLineStipple ::XGLEntry::glLineStipple
#define glLineWidth ::XGLEntry::glLineWidth
#define glListBase ::XGLEntry::glListBase
#define glLoadIdentity ::XGLEntry::glLoadIdentity
#define glLoadMatrixd ::XGLEntry::glLoadMatrixd
#define glLoadMatrixf ::XGLEntry::glLoadMatrixf
#define glLoadName ::XGLEntry::glLoadName
#define glLogicOp ::XGLEntry::glLogicOp
#define glMap1d ::XGLEntry::glMap1d
#define glMap1f ::XGLEntry::glMap1f
#define glMap2d ::XGLEntry::glMap2d
#define glMap2f ::XGLEntry::glMap2f
#define glMapGrid1d ::XGLEntry::glMapGrid1d
#define glMapGrid1f ::XGLEntry::glMapGrid1f
#define glMapGrid2d ::XGLEntry::glMapGrid2d
#define glMapGrid2f ::XGLEntry::glMapGrid2f
#define glMaterialf ::XGLEntry::glMaterialf
#define glMaterialfv ::XGLEntry::glMaterialfv
#define glMateriali ::XGLEntry::glMateriali
#define glMaterialiv ::XGLEntry::glMaterialiv
#define glMatrixMode ::XGLEntry::glMatrixMode
#define glMultMatrixd ::XGLEntry::glMultMatrixd
#define glMultMatrixf ::XGLEntry::glMultMatrixf
#define glNewList ::XGLEntry::glNewList
#define glNormal3b ::XGLEntry::glNormal3b
#define glNormal3bv ::XGLEntry::glNormal3bv
#define glNormal3d ::XGLEntry::glNormal3d
#define glNormal3dv ::XGLEntry::glNormal3dv
#define glNormal3f ::XGLEntry::glNormal3f
#define glNormal3fv ::XGLEntry::glNormal3fv
#define glNormal3i ::XGLEntry::glNormal3i
#define glNormal3iv ::XGLEntry::glNormal3iv
#define glNormal3s ::XGLEntry::glNormal3s
#define glNormal3sv ::XGLEntry::glNormal3sv
#define glNormalPointer ::XGLEntry::glNormalPointer
#define glOrtho ::XGLEntry::glOrtho
#define glPassThrough ::XGLEntry::glPassThrough
#define glPixelMapfv ::XGLEntry::glPixelMapfv
#define glPixelMapuiv ::XGLEntry::glPixelMapuiv
#define glPixelMapusv ::XGLEntry::glPixelMapusv
#define glPixelStoref ::XGLEntry::glPixelStoref
#define glPixelStorei ::XGLEntry::glPixelStorei
#define glPixelTransferf ::XGLEntry::glPixelTransferf
#define glPixelTransferi ::XGLEntry::glPixelTransferi
#define glPixelZoom ::XGLEntry::glPixelZoom
#define glPointSize ::XGLEntry::glPointSize
#define glPolygonMode ::XGLEntry::glPolygonMode
#define glPolygonOffset ::XGLEntry::glPolygonOffset
#define glPolygonStipple ::XGLEntry::glPolygonStipple
#define glPopAttrib ::XGLEntry::glPopAttrib
#define glPopClientAttrib ::XGLEntry::glPopClientAttrib
#define glPopMatrix ::XGLEntry::glPopMatrix
#define glPopName ::XGLEntry::glPopName
#define glPrioritizeTextures ::XGLEntry::glPrioritizeTextures
#define glPushAttrib ::XGLEntry::glPushAttrib
#define glPushClientAttrib ::XGLEntry::glPushClientAttrib
#define glPushMatrix ::XGLEntry::glPushMatrix
#define glPushName ::XGLEntry::glPushName
#define glRasterPos2d ::XGLEntry::glRasterPos2d
#define glRasterPos2dv ::XGLEntry::glRasterPos2dv
#define glRasterPos2f ::XGLEntry::glRasterPos2f
#define glRasterPos2fv ::XGLEntry::glRasterPos2fv
#define glRasterPos2i ::XGLEntry::glRasterPos2i
#define glRasterPos2iv ::XGLEntry::glRasterPos2iv
#define glRasterPos2s ::XGLEntry::glRasterPos2s
#define glRasterPos2sv ::XGLEntry::glRasterPos2sv
#define glRasterPos3d ::XGLEntry::glRasterPos3d
#define glRasterPos3dv ::XGLEntry::glRasterPos3dv
#define glRasterPos3f ::XGLEntry::glRasterPos3f
#define glRasterPos3fv ::XGLEntry::glRasterPos3fv
#define glRasterPos3i ::XGLEntry::glRasterPos3i
#define glRasterPos3iv ::XGLEntry::glRasterPos3iv
#define glRasterPos3s ::XGLEntry::glRasterPos3s
#define glRasterPos3sv ::XGLEntry::glRasterPos3sv
#define glRasterPos4d ::XGLEntry::glRasterPos4d
#define glRasterPos4dv ::XGLEntry::glRasterPos4dv
#define glRasterPos4f ::XGLEntry::glRasterPos4f
#define glRasterPos4fv ::XGLEntry::glRasterPos4fv
#define glRasterPos4i ::XGLEntry::glRasterPos4i
#define glRasterPos4iv ::XGLEntry::glRasterPos4iv
#define glRasterPos4s ::XGLEntry::glRasterPos4s
#define glRasterPos4sv ::XGLEntry::glRasterPos4sv
#define glReadBuffer ::XGLEntry::glReadBuffer
#define glReadPixels ::XGLEntry::glReadPixels
#define glRectd ::XGLEntry::glRectd
#define glRectdv ::XGLEntry::glRectdv
#define glRectf ::XGLEntry::glRectf
#define glRectfv ::XGLEntry::glRectfv
#define glRecti ::XGLEntry::glRecti
#define glRectiv ::XGLEntry::glRectiv
#define glRects ::XGLEntry::glRects
#define glRectsv ::XGLEntry::glRectsv
#define glRenderMode ::XGLEntry::glRenderMode
#define glRotated ::XGLEntry::glRotated
#define glRotatef ::XGLEntry::glRotatef
#define glScaled ::XGLEntry::glScaled
#define glScalef ::XGLEntry::glScalef
#define glScissor ::XGLEntry::glScissor
#define glSelectBuffer ::XGLEntry::glSelectBuffer
#define glShadeModel ::XGLEntry::glShadeModel
#define glStencilFunc ::XGLEntry::glStencilFunc
#define glStencilMask ::XGLEntry::glStencilMask
#define glStencilOp ::XGLEntry::glStencilOp
#define glTexCoord1d ::XGLEntry::glTexCoord1d
#define glTexCoord1dv ::XGLEntry::glTexCoord1dv
#define glTexCoord1f ::XGLEntry::glTexCoord1f
#define glTexCoord1fv ::XGLEntry::glTexCoord1fv
#define glTexCoord1i ::XGLEntry::glTexCoord1i
#define glTexCoord1iv ::XGLEntry::glTexCoord1iv
#define glTexCoord1s ::XGLEntry::glTexCoord1s
#define glTexCoord1sv ::XGLEntry::glTexCoord1sv
#define glTexCoord2d ::XGLEntry::glTexCoord2d
#define glTexCoord2dv ::XGLEntry::glTexCoord2dv
#define glTexCoord2f ::XGLEntry::glTexCoord2f
#define glTexCoord2fv ::XGLEntry::glTexCoord2fv
#define glTexCoord2i ::XGLEntry::glTexCoord2i
#define glTexCoord2iv ::XGLEntry::glTexCoord2iv
#define glTexCoord2s ::XGLEntry::glTexCoord2s
#define glTexCoord2sv ::XGLEntry::glTexCoord2sv
#define glTexCoord3d ::XGLEntry::glTexCoord3d
#define glTexCoord3dv ::XGLEntry::glTexCoord3dv
#define glTexCoord3f ::XGLEntry::glTexCoord3f
#define glTexCoord3fv ::XGLEntry::glTexCoord3fv
#define glTexCoord3i ::XGLEntry::glTexCoord3i
#define glTexCoord3iv ::XGLEntry::glTexCoord3iv
#define glTexCoord3s ::XGLEntry::glTexCoord3s
#define glTexCoord3sv ::XGLEntry::glTexCoord3sv
#define glTexCoord4d ::XGLEntry::glTexCoord4d
#define glTexCoord4dv ::XGLEntry::glTexCoord4dv
#define glTexCoord4f ::XGLEntry::glTexCoord4f
#define glTexCoord4fv ::XGLEntry::glTexCoord4fv
#define glTexCoord4i ::XGLEntry::glTexCoord4i
#define glTexCoord4iv ::XGLEntry::glTexCoord4iv
#define glTexCoord4s ::XGLEntry::glTexCoord4s
#define glTexCoord4sv ::XGLEntry::glTexCoord4sv
#define glTexCoordPointer ::XGLEntry::glTexCoordPointer
#define glTexEnvf ::XGLEntry::glTexEnvf
#define glTexEnvfv ::XGLEntry::glTexEnvfv
#define glTexEnvi ::XGLEntry::glTexEnvi
#define glTexEnviv ::XGLEntry::glTexEnviv
#define glTexGend ::XGLEntry::glTexGend
#define glTexGendv ::XGLEntry::glTexGendv
#define glTexGenf ::XGLEntry::glTexGenf
#define glTexGenfv ::XGLEntry::glTexGenfv
#define glTexGeni ::XGLEntry::glTexGeni
#define glTexGeniv ::XGLEntry::glTexGeniv
#define glTexImage1D ::XGLEntry::glTexImage1D
#define glTexImage2D ::XGLEntry::glTexImage2D
#define glTexParameterf ::XGLEntry::glTexParameterf
#define glTexParameterfv ::XGLEntry::glTexParameterfv
#define glTexParameteri ::XGLEntry::glTexParameteri
#define glTexParameteriv ::XGLEntry::glTexParameteriv
#define glTexSubImage1D ::XGLEntry::glTexSubImage1D
#define glTexSubImage2D ::XGLEntry::glTexSubImage2D
#define glTranslated ::XGLEntry::glTranslated
#define glTranslatef ::XGLEntry::glTranslatef
#define glVertex2d ::XGLEntry::glVertex2d
#define glVertex2dv ::XGLEntry::glVertex2dv
#define glVertex2f ::XGLEntry::glVertex2f
#define glVertex2fv ::XGLEntry::glVertex2fv
#define glVertex2i ::XGLEntry::glVertex2i
#define glVertex2iv ::XGLEntry::glVertex2iv
#define glVertex2s ::XGLEntry::glVertex2s
#define glVertex2sv ::XGLEntry::glVertex2sv
#define glVertex3d ::XGLEntry::glVertex3d
#define glVertex3dv ::XGLEntry::glVertex3dv
#define glVertex3f ::XGLEntry::glVertex3f
#define glVertex3fv ::XGLEntry::glVertex3fv
#define glVertex3i ::XGLEntry::glVertex3i
#define glVertex3iv ::XGLEntry::glVertex3iv
#define glVertex3s ::XGLEntry::glVertex3s
#define glVertex3sv ::XGLEntry::glVertex3sv
#define glVertex4d ::XGLEntry::glVertex4d
#define glVertex4dv ::XGLEntry::glVertex4dv
#define glVertex4f ::XGLEntry::glVertex4f
#define glVertex4fv ::XGLEntry::glVertex4fv
#define glVertex4i ::XGLEntry::glVertex4i
#define glVertex4iv ::XGLEntry::glVertex4iv
#define glVertex4s ::XGLEntry::glVertex4s
#define glVertex4sv ::XGLEntry::glVertex4sv
#define glVertexPointer ::XGLEntry::glVertexPointer
#define glViewport ::XGLEntry::glViewport

// GLU may be missing; a call then fails with an exception instead of a crash.
#define gluErrorString (::XGLEntry::RequireGLU(::XGLEntry::gluErrorString, "gluErrorString"))
#define gluGetString (::XGLEntry::RequireGLU(::XGLEntry::gluGetString, "gluGetString"))
#define gluOrtho2D (::XGLEntry::RequireGLU(::XGLEntry::gluOrtho2D, "gluOrtho2D"))
#define gluPerspective (::XGLEntry::RequireGLU(::XGLEntry::gluPerspective, "gluPerspective"))
#define gluPickMatrix (::XGLEntry::RequireGLU(::XGLEntry::gluPickMatrix, "gluPickMatrix"))
#define gluLookAt (::XGLEntry::RequireGLU(::XGLEntry::gluLookAt, "gluLookAt"))
#define gluProject (::XGLEntry::RequireGLU(::XGLEntry::gluProject, "gluProject"))
#define gluUnProject (::XGLEntry::RequireGLU(::XGLEntry::gluUnProject, "gluUnProject"))
#define gluScaleImage (::XGLEntry::RequireGLU(::XGLEntry::gluScaleImage, "gluScaleImage"))
#define gluBuild1DMipmaps (::XGLEntry::RequireGLU(::XGLEntry::gluBuild1DMipmaps, "gluBuild1DMipmaps"))
#define gluBuild2DMipmaps (::XGLEntry::RequireGLU(::XGLEntry::gluBuild2DMipmaps, "gluBuild2DMipmaps"))
#define gluNewQuadric (::XGLEntry::RequireGLU(::XGLEntry::gluNewQuadric, "gluNewQuadric"))
#define gluDeleteQuadric (::XGLEntry::RequireGLU(::XGLEntry::gluDeleteQuadric, "gluDeleteQuadric"))
#define gluQuadricNormals (::XGLEntry::RequireGLU(::XGLEntry::gluQuadricNormals, "gluQuadricNormals"))
#define gluQuadricTexture (::XGLEntry::RequireGLU(::XGLEntry::gluQuadricTexture, "gluQuadricTexture"))
#define gluQuadricOrientation (::XGLEntry::RequireGLU(::XGLEntry::gluQuadricOrientation, "gluQuadricOrientation"))
#define gluQuadricDrawStyle (::XGLEntry::RequireGLU(::XGLEntry::gluQuadricDrawStyle, "gluQuadricDrawStyle"))
#define gluCylinder (::XGLEntry::RequireGLU(::XGLEntry::gluCylinder, "gluCylinder"))
#define gluDisk (::XGLEntry::RequireGLU(::XGLEntry::gluDisk, "gluDisk"))
#define gluPartialDisk (::XGLEntry::RequireGLU(::XGLEntry::gluPartialDisk, "gluPartialDisk"))
#define gluSphere (::XGLEntry::RequireGLU(::XGLEntry::gluSphere, "gluSphere"))
#define gluQuadricCallback (::XGLEntry::RequireGLU(::XGLEntry::gluQuadricCallback, "gluQuadricCallback"))
#define gluNewTess (::XGLEntry::RequireGLU(::XGLEntry::gluNewTess, "gluNewTess"))
#define gluDeleteTess (::XGLEntry::RequireGLU(::XGLEntry::gluDeleteTess, "gluDeleteTess"))
#define gluTessBeginPolygon (::XGLEntry::RequireGLU(::XGLEntry::gluTessBeginPolygon, "gluTessBeginPolygon"))
#define gluTessBeginContour (::XGLEntry::RequireGLU(::XGLEntry::gluTessBeginContour, "gluTessBeginContour"))
#define gluTessVertex (::XGLEntry::RequireGLU(::XGLEntry::gluTessVertex, "gluTessVertex"))
#define gluTessEndContour (::XGLEntry::RequireGLU(::XGLEntry::gluTessEndContour, "gluTessEndContour"))
#define gluTessEndPolygon (::XGLEntry::RequireGLU(::XGLEntry::gluTessEndPolygon, "gluTessEndPolygon"))
#define gluTessProperty (::XGLEntry::RequireGLU(::XGLEntry::gluTessProperty, "gluTessProperty"))
#define gluTessNormal (::XGLEntry::RequireGLU(::XGLEntry::gluTessNormal, "gluTessNormal"))
#define gluTessCallback (::XGLEntry::RequireGLU(::XGLEntry::gluTessCallback, "gluTessCallback"))
#define gluGetTessProperty (::XGLEntry::RequireGLU(::XGLEntry::gluGetTessProperty, "gluGetTessProperty"))
#define gluNewNurbsRenderer (::XGLEntry::RequireGLU(::XGLEntry::gluNewNurbsRenderer, "gluNewNurbsRenderer"))
#define gluDeleteNurbsRenderer (::XGLEntry::RequireGLU(::XGLEntry::gluDeleteNurbsRenderer, "gluDeleteNurbsRenderer"))
#define gluBeginSurface (::XGLEntry::RequireGLU(::XGLEntry::gluBeginSurface, "gluBeginSurface"))
#define gluBeginCurve (::XGLEntry::RequireGLU(::XGLEntry::gluBeginCurve, "gluBeginCurve"))
#define gluEndCurve (::XGLEntry::RequireGLU(::XGLEntry::gluEndCurve, "gluEndCurve"))
#define gluEndSurface (::XGLEntry::RequireGLU(::XGLEntry::gluEndSurface, "gluEndSurface"))
#define gluBeginTrim (::XGLEntry::RequireGLU(::XGLEntry::gluBeginTrim, "gluBeginTrim"))
#define gluEndTrim (::XGLEntry::RequireGLU(::XGLEntry::gluEndTrim, "gluEndTrim"))
#define gluPwlCurve (::XGLEntry::RequireGLU(::XGLEntry::gluPwlCurve, "gluPwlCurve"))
#define gluNurbsCurve (::XGLEntry::RequireGLU(::XGLEntry::gluNurbsCurve, "gluNurbsCurve"))
#define gluNurbsSurface (::XGLEntry::RequireGLU(::XGLEntry::gluNurbsSurface, "gluNurbsSurface"))
#define gluLoadSamplingMatrices (::XGLEntry::RequireGLU(::XGLEntry::gluLoadSamplingMatrices, "gluLoadSamplingMatrices"))
#define gluNurbsProperty (::XGLEntry::RequireGLU(::XGLEntry::gluNurbsProperty, "gluNurbsProperty"))
#define gluGetNurbsProperty (::XGLEntry::RequireGLU(::XGLEntry::gluGetNurbsProperty, "gluGetNurbsProperty"))
#define gluNurbsCallback (::XGLEntry::RequireGLU(::XGLEntry::gluNurbsCallback, "gluNurbsCallback"))

// Extensions: looked up on every call and available only when the current
// context names the extension (or one of the alternatives) in its extension string.

#define glActiveTextureARB (::XGLEntry::Extension<PFNGLACTIVETEXTUREARBPROC>("glActiveTextureARB", "GL_ARB_multitexture"))
#define glClientActiveTextureARB (::XGLEntry::Extension<PFNGLCLIENTACTIVETEXTUREARBPROC>("glClientActiveTextureARB", "GL_ARB_multitexture"))
#define glMultiTexCoord1dARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD1DARBPROC>("glMultiTexCoord1dARB", "GL_ARB_multitexture"))
#define glMultiTexCoord1dARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD1DARBVPROC>("glMultiTexCoord1dARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord1fARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD1FARBPROC>("glMultiTexCoord1fARB", "GL_ARB_multitexture"))
#define glMultiTexCoord1fARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD1FARBVPROC>("glMultiTexCoord1fARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord1iARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD1IARBPROC>("glMultiTexCoord1iARB", "GL_ARB_multitexture"))
#define glMultiTexCoord1iARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD1IARBVPROC>("glMultiTexCoord1iARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord1sARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD1SARBPROC>("glMultiTexCoord1sARB", "GL_ARB_multitexture"))
#define glMultiTexCoord1sARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD1SARBVPROC>("glMultiTexCoord1sARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord2dARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD2DARBPROC>("glMultiTexCoord2dARB", "GL_ARB_multitexture"))
#define glMultiTexCoord2dARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD2DARBVPROC>("glMultiTexCoord2dARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord2fARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD2FARBPROC>("glMultiTexCoord2fARB", "GL_ARB_multitexture"))
#define glMultiTexCoord2fARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD2FARBVPROC>("glMultiTexCoord2fARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord2iARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD2IARBPROC>("glMultiTexCoord2iARB", "GL_ARB_multitexture"))
#define glMultiTexCoord2iARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD2IARBVPROC>("glMultiTexCoord2iARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord2sARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD2SARBPROC>("glMultiTexCoord2sARB", "GL_ARB_multitexture"))
#define glMultiTexCoord2sARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD2SARBVPROC>("glMultiTexCoord2sARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord3dARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD3DARBPROC>("glMultiTexCoord3dARB", "GL_ARB_multitexture"))
#define glMultiTexCoord3dARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD3DARBVPROC>("glMultiTexCoord3dARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord3fARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD3FARBPROC>("glMultiTexCoord3fARB", "GL_ARB_multitexture"))
#define glMultiTexCoord3fARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD3FARBVPROC>("glMultiTexCoord3fARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord3iARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD3IARBPROC>("glMultiTexCoord3iARB", "GL_ARB_multitexture"))
#define glMultiTexCoord3iARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD3IARBVPROC>("glMultiTexCoord3iARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord3sARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD3SARBPROC>("glMultiTexCoord3sARB", "GL_ARB_multitexture"))
#define glMultiTexCoord3sARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD3SARBVPROC>("glMultiTexCoord3sARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord4dARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD4DARBPROC>("glMultiTexCoord4dARB", "GL_ARB_multitexture"))
#define glMultiTexCoord4dARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD4DARBVPROC>("glMultiTexCoord4dARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord4fARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD4FARBPROC>("glMultiTexCoord4fARB", "GL_ARB_multitexture"))
#define glMultiTexCoord4fARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD4FARBVPROC>("glMultiTexCoord4fARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord4iARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD4IARBPROC>("glMultiTexCoord4iARB", "GL_ARB_multitexture"))
#define glMultiTexCoord4iARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD4IARBVPROC>("glMultiTexCoord4iARBv", "GL_ARB_multitexture"))
#define glMultiTexCoord4sARB (::XGLEntry::Extension<PFNGLMULTITEXCOORD4SARBPROC>("glMultiTexCoord4sARB", "GL_ARB_multitexture"))
#define glMultiTexCoord4sARBv (::XGLEntry::Extension<PFNGLMULTITEXCOORD4SARBVPROC>("glMultiTexCoord4sARBv", "GL_ARB_multitexture"))

#define glLockArraysEXT (::XGLEntry::Extension<PFNGLLOCKARRAYSEXTPROC>("glLockArraysEXT", "GL_EXT_compiled_vertex_array"))
#define glUnlockArraysEXT (::XGLEntry::Extension<PFNGLUNLOCKARRAYSEXTPROC>("glUnlockArraysEXT", "GL_EXT_compiled_vertex_array"))

#define glPointParameterfARB (::XGLEntry::Extension<PFNGLPOINTPARAMETERFARBPROC>("glPointParameterfARB", "GL_ARB_point_parameters"))
#define glPointParameterfvARB (::XGLEntry::Extension<PFNGLPOINTPARAMETERFVARBPROC>("glPointParameterfvARB", "GL_ARB_point_parameters"))

#define glPointParameterfEXT (::XGLEntry::Extension<PFNGLPOINTPARAMETERFEXTPROC>("glPointParameterfEXT", "GL_EXT_point_parameters"))
#define glPointParameterfvEXT (::XGLEntry::Extension<PFNGLPOINTPARAMETERFVEXTPROC>("glPointParameterfvEXT", "GL_EXT_point_parameters"))

#define glTexImage3D (::XGLEntry::Extension<PFNGLTEXIMAGE3DPROC>("glTexImage3D", "GL_VERSION_1_2 GL_EXT_texture3D"))
#define glTexSubImage3D (::XGLEntry::Extension<PFNGLTEXSUBIMAGE3DPROC>("glTexSubImage3D", "GL_VERSION_1_2 GL_EXT_texture3D"))

#define glProgramStringARB (::XGLEntry::Extension<PFNGLPROGRAMSTRINGARBPROC>("glProgramStringARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glBindProgramARB (::XGLEntry::Extension<PFNGLBINDPROGRAMARBPROC>("glBindProgramARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glDeleteProgramsARB (::XGLEntry::Extension<PFNGLDELETEPROGRAMSARBPROC>("glDeleteProgramsARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGenProgramsARB (::XGLEntry::Extension<PFNGLGENPROGRAMSARBPROC>("glGenProgramsARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramEnvParameter4dARB (::XGLEntry::Extension<PFNGLPROGRAMENVPARAMETER4DARBPROC>("glProgramEnvParameter4dARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramEnvParameter4dvARB (::XGLEntry::Extension<PFNGLPROGRAMENVPARAMETER4DVARBPROC>("glProgramEnvParameter4dvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramEnvParameter4fARB (::XGLEntry::Extension<PFNGLPROGRAMENVPARAMETER4FARBPROC>("glProgramEnvParameter4fARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramEnvParameter4fvARB (::XGLEntry::Extension<PFNGLPROGRAMENVPARAMETER4FVARBPROC>("glProgramEnvParameter4fvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramLocalParameter4dARB (::XGLEntry::Extension<PFNGLPROGRAMLOCALPARAMETER4DARBPROC>("glProgramLocalParameter4dARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramLocalParameter4dvARB (::XGLEntry::Extension<PFNGLPROGRAMLOCALPARAMETER4DVARBPROC>("glProgramLocalParameter4dvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramLocalParameter4fARB (::XGLEntry::Extension<PFNGLPROGRAMLOCALPARAMETER4FARBPROC>("glProgramLocalParameter4fARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glProgramLocalParameter4fvARB (::XGLEntry::Extension<PFNGLPROGRAMLOCALPARAMETER4FVARBPROC>("glProgramLocalParameter4fvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramEnvParameterdvARB (::XGLEntry::Extension<PFNGLGETPROGRAMENVPARAMETERDVARBPROC>("glGetProgramEnvParameterdvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramEnvParameterfvARB (::XGLEntry::Extension<PFNGLGETPROGRAMENVPARAMETERFVARBPROC>("glGetProgramEnvParameterfvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramLocalParameterdvARB (::XGLEntry::Extension<PFNGLGETPROGRAMLOCALPARAMETERDVARBPROC>("glGetProgramLocalParameterdvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramLocalParameterfvARB (::XGLEntry::Extension<PFNGLGETPROGRAMLOCALPARAMETERFVARBPROC>("glGetProgramLocalParameterfvARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramivARB (::XGLEntry::Extension<PFNGLGETPROGRAMIVARBPROC>("glGetProgramivARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glGetProgramStringARB (::XGLEntry::Extension<PFNGLGETPROGRAMSTRINGARBPROC>("glGetProgramStringARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))
#define glIsProgramARB (::XGLEntry::Extension<PFNGLISPROGRAMARBPROC>("glIsProgramARB", "GL_ARB_fragment_program GL_ARB_vertex_program"))

#define glBindBufferARB (::XGLEntry::Extension<PFNGLBINDBUFFERARBPROC>("glBindBufferARB", "GL_ARB_vertex_buffer_object"))
#define glDeleteBuffersARB (::XGLEntry::Extension<PFNGLDELETEBUFFERSARBPROC>("glDeleteBuffersARB", "GL_ARB_vertex_buffer_object"))
#define glGenBuffersARB (::XGLEntry::Extension<PFNGLGENBUFFERSARBPROC>("glGenBuffersARB", "GL_ARB_vertex_buffer_object"))
#define glIsBufferARB (::XGLEntry::Extension<PFNGLISBUFFERARBPROC>("glIsBufferARB", "GL_ARB_vertex_buffer_object"))
#define glBufferDataARB (::XGLEntry::Extension<PFNGLBUFFERDATAARBPROC>("glBufferDataARB", "GL_ARB_vertex_buffer_object"))
#define glBufferSubDataARB (::XGLEntry::Extension<PFNGLBUFFERSUBDATAARBPROC>("glBufferSubDataARB", "GL_ARB_vertex_buffer_object"))
#define glGetBufferSubDataARB (::XGLEntry::Extension<PFNGLGETBUFFERSUBDATAARBPROC>("glGetBufferSubDataARB", "GL_ARB_vertex_buffer_object"))
#define glMapBufferARB (::XGLEntry::Extension<PFNGLMAPBUFFERARBPROC>("glMapBufferARB", "GL_ARB_vertex_buffer_object"))
#define glUnmapBufferARB (::XGLEntry::Extension<PFNGLUNMAPBUFFERARBPROC>("glUnmapBufferARB", "GL_ARB_vertex_buffer_object"))
#define glGetBufferParameterivARB (::XGLEntry::Extension<PFNGLGETBUFFERPARAMETERIVARBPROC>("glGetBufferParameterivARB", "GL_ARB_vertex_buffer_object"))
#define glGetBufferPointervARB (::XGLEntry::Extension<PFNGLGETBUFFERPOINTERVARBPROC>("glGetBufferPointervARB", "GL_ARB_vertex_buffer_object"))

#define glIsRenderbufferEXT (::XGLEntry::Extension<PFNGLISRENDERBUFFEREXTPROC>("glIsRenderbufferEXT", "GL_EXT_framebuffer_object"))
#define glBindRenderbufferEXT (::XGLEntry::Extension<PFNGLBINDRENDERBUFFEREXTPROC>("glBindRenderbufferEXT", "GL_EXT_framebuffer_object"))
#define glDeleteRenderbuffersEXT (::XGLEntry::Extension<PFNGLDELETERENDERBUFFERSEXTPROC>("glDeleteRenderbuffersEXT", "GL_EXT_framebuffer_object"))
#define glGenRenderbuffersEXT (::XGLEntry::Extension<PFNGLGENRENDERBUFFERSEXTPROC>("glGenRenderbuffersEXT", "GL_EXT_framebuffer_object"))
#define glRenderbufferStorageEXT (::XGLEntry::Extension<PFNGLRENDERBUFFERSTORAGEEXTPROC>("glRenderbufferStorageEXT", "GL_EXT_framebuffer_object"))
#define glGetRenderbufferParameterivEXT (::XGLEntry::Extension<PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC>("glGetRenderbufferParameterivEXT", "GL_EXT_framebuffer_object"))
#define glIsFramebufferEXT (::XGLEntry::Extension<PFNGLISFRAMEBUFFEREXTPROC>("glIsFramebufferEXT", "GL_EXT_framebuffer_object"))
#define glBindFramebufferEXT (::XGLEntry::Extension<PFNGLBINDFRAMEBUFFEREXTPROC>("glBindFramebufferEXT", "GL_EXT_framebuffer_object"))
#define glDeleteFramebuffersEXT (::XGLEntry::Extension<PFNGLDELETEFRAMEBUFFERSEXTPROC>("glDeleteFramebuffersEXT", "GL_EXT_framebuffer_object"))
#define glGenFramebuffersEXT (::XGLEntry::Extension<PFNGLGENFRAMEBUFFERSEXTPROC>("glGenFramebuffersEXT", "GL_EXT_framebuffer_object"))
#define glCheckFramebufferStatusEXT (::XGLEntry::Extension<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>("glCheckFramebufferStatusEXT", "GL_EXT_framebuffer_object"))
#define glFramebufferTexture1DEXT (::XGLEntry::Extension<PFNGLFRAMEBUFFERTEXTURE1DEXTPROC>("glFramebufferTexture1DEXT", "GL_EXT_framebuffer_object"))
#define glFramebufferTexture2DEXT (::XGLEntry::Extension<PFNGLFRAMEBUFFERTEXTURE2DEXTPROC>("glFramebufferTexture2DEXT", "GL_EXT_framebuffer_object"))
#define glFramebufferTexture3DEXT (::XGLEntry::Extension<PFNGLFRAMEBUFFERTEXTURE3DEXTPROC>("glFramebufferTexture3DEXT", "GL_EXT_framebuffer_object"))
#define glFramebufferRenderbufferEXT (::XGLEntry::Extension<PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC>("glFramebufferRenderbufferEXT", "GL_EXT_framebuffer_object"))
#define glGetFramebufferAttachmentParameterivEXT (::XGLEntry::Extension<PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC>("glGetFramebufferAttachmentParameterivEXT", "GL_EXT_framebuffer_object"))
#define glGenerateMipmapEXT (::XGLEntry::Extension<PFNGLGENERATEMIPMAPEXTPROC>("glGenerateMipmapEXT", "GL_EXT_framebuffer_object"))

#define glBlitFramebufferEXT (::XGLEntry::Extension<PFNGLBLITFRAMEBUFFEREXTPROC>("glBlitFramebufferEXT", "GL_EXT_framebuffer_blit"))

#define glRenderbufferStorageMultisampleEXT (::XGLEntry::Extension<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC>("glRenderbufferStorageMultisampleEXT", "GL_EXT_framebuffer_multisample"))

#define glBlendEquationEXT (::XGLEntry::Extension<PFNGLBLENDEQUATIONEXTPROC>("glBlendEquationEXT", "GL_EXT_blend_minmax"))

#define glPixelDataRangeNV (::XGLEntry::Extension<PFNGLPIXELDATARANGENVPROC>("glPixelDataRangeNV", "GL_NV_pixel_data_range"))
#define glFlushPixelDataRangeNV (::XGLEntry::Extension<PFNGLFLUSHPIXELDATARANGENVPROC>("glFlushPixelDataRangeNV", "GL_NV_pixel_data_range"))

// Programmable stages: GLSL programs (2.0) and separable programs in pipelines, which
// the shader runtime builds on.

#define glActiveTexture (::XGLEntry::Extension<PFNGLACTIVETEXTUREPROC>("glActiveTexture", "GL_VERSION_1_3"))
#define glDeleteProgram (::XGLEntry::Extension<PFNGLDELETEPROGRAMPROC>("glDeleteProgram", "GL_VERSION_2_0"))
#define glIsProgram (::XGLEntry::Extension<PFNGLISPROGRAMPROC>("glIsProgram", "GL_VERSION_2_0"))
#define glUseProgram (::XGLEntry::Extension<PFNGLUSEPROGRAMPROC>("glUseProgram", "GL_VERSION_2_0"))
#define glGetProgramiv (::XGLEntry::Extension<PFNGLGETPROGRAMIVPROC>("glGetProgramiv", "GL_VERSION_2_0"))
#define glGetProgramInfoLog (::XGLEntry::Extension<PFNGLGETPROGRAMINFOLOGPROC>("glGetProgramInfoLog", "GL_VERSION_2_0"))
#define glGetActiveUniform (::XGLEntry::Extension<PFNGLGETACTIVEUNIFORMPROC>("glGetActiveUniform", "GL_VERSION_2_0"))
#define glGetUniformLocation (::XGLEntry::Extension<PFNGLGETUNIFORMLOCATIONPROC>("glGetUniformLocation", "GL_VERSION_2_0"))
#define glGetUniformfv (::XGLEntry::Extension<PFNGLGETUNIFORMFVPROC>("glGetUniformfv", "GL_VERSION_2_0"))
#define glGetUniformiv (::XGLEntry::Extension<PFNGLGETUNIFORMIVPROC>("glGetUniformiv", "GL_VERSION_2_0"))

#define glCreateShaderProgramv (::XGLEntry::Extension<PFNGLCREATESHADERPROGRAMVPROC>("glCreateShaderProgramv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glGenProgramPipelines (::XGLEntry::Extension<PFNGLGENPROGRAMPIPELINESPROC>("glGenProgramPipelines", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glDeleteProgramPipelines (::XGLEntry::Extension<PFNGLDELETEPROGRAMPIPELINESPROC>("glDeleteProgramPipelines", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glBindProgramPipeline (::XGLEntry::Extension<PFNGLBINDPROGRAMPIPELINEPROC>("glBindProgramPipeline", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glIsProgramPipeline (::XGLEntry::Extension<PFNGLISPROGRAMPIPELINEPROC>("glIsProgramPipeline", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glUseProgramStages (::XGLEntry::Extension<PFNGLUSEPROGRAMSTAGESPROC>("glUseProgramStages", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform1fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM1FVPROC>("glProgramUniform1fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform2fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM2FVPROC>("glProgramUniform2fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform3fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM3FVPROC>("glProgramUniform3fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform4fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM4FVPROC>("glProgramUniform4fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform1iv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM1IVPROC>("glProgramUniform1iv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform2iv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM2IVPROC>("glProgramUniform2iv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform3iv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM3IVPROC>("glProgramUniform3iv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniform4iv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORM4IVPROC>("glProgramUniform4iv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniformMatrix2fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORMMATRIX2FVPROC>("glProgramUniformMatrix2fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniformMatrix3fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORMMATRIX3FVPROC>("glProgramUniformMatrix3fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glProgramUniformMatrix4fv (::XGLEntry::Extension<PFNGLPROGRAMUNIFORMMATRIX4FVPROC>("glProgramUniformMatrix4fv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
#define glGetProgramPipelineiv (::XGLEntry::Extension<PFNGLGETPROGRAMPIPELINEIVPROC>("glGetProgramPipelineiv", "GL_VERSION_4_1 GL_ARB_separate_shader_objects"))
